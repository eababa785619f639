#include "Roles/LiveLinkCameraTypes.h"
#include "StandIn/StandInCameraComponent.h"
#include "StandIn/StandInCineCameraComponent.h"
#include "StandIn/StandInLiveLinkCameraController.h"

#include <gtest/gtest.h>

#include <optional>

// Faults caught: a claim that is ignored, or one that gates another value (flags crossed); a value applied
// without its claim; the focal length applied before the field of view, so that a claimed but never written
// focal length no longer holds the Cine Camera at the frame's 50 mm; the field of view turned into a focal
// length against the wrong sensor side, without halving, or in degrees where radians are due; the Cine Camera
// showing the field of view it was handed instead of its lens's, or the stream's aspect ratio instead of its
// filmback's; the lens's range not held.
TEST(LiveLinkCameraController, AppliesWhatTheStaticDataClaimsToAPlainAndACineCamera)
{
	struct FClaims
	{
		bool bFieldOfView = false;
		bool bAspectRatio = false;
		bool bFocalLength = false;
		bool bFocusDistance = false;
		bool bAperture = false;
	};
	/** What the frame carries beside its defaults. */
	struct FWritten
	{
		std::optional<float> FieldOfView, AspectRatio, FocalLength, FocusDistance, Aperture;
	};
	/** The plain camera's field of view and aspect ratio, then the Cine Camera's focal length, horizontal field of view, focus distance and aperture. */
	struct FShown
	{
		float FieldOfView, AspectRatio, FocalLength, CineFieldOfView, FocusDistance, Aperture;
	};
	struct FCase
	{
		const char* Name;
		FClaims Claims;
		FWritten Written;
		FShown Shown;
	};
	const FWritten Everything{54.43f, 2.39f, 85.0f, 250.0f, 5.6f};
	const FCase Cases[] = {
	    {"field of view alone", {.bFieldOfView = true}, {.FieldOfView = 54.43f}, {54.43f, 1.777778f, 35.0f, 54.43f, 100000.0f, 2.8f}},
	    {"focal length claimed, never written",
	     {.bFieldOfView = true, .bFocalLength = true},
	     {.FieldOfView = 54.43f},
	     {54.43f, 1.777778f, 50.0f, 39.60f, 100000.0f, 2.8f}},
	    {"focal length claimed and written",
	     {.bFieldOfView = true, .bFocalLength = true},
	     {.FieldOfView = 54.43f, .FocalLength = 85.0f},
	     {54.43f, 1.777778f, 85.0f, 23.91f, 100000.0f, 2.8f}},
	    {"nothing claimed", {}, Everything, {90.0f, 1.777778f, 24.0f, 73.74f, 100000.0f, 2.8f}},
	    {"aspect ratio", {.bAspectRatio = true}, Everything, {90.0f, 2.39f, 24.0f, 73.74f, 100000.0f, 2.8f}},
	    {"focus distance", {.bFocusDistance = true}, Everything, {90.0f, 1.777778f, 24.0f, 73.74f, 250.0f, 2.8f}},
	    {"aperture", {.bAperture = true}, Everything, {90.0f, 1.777778f, 24.0f, 73.74f, 100000.0f, 5.6f}},
	    {"beyond the lens",
	     {.bFocalLength = true, .bAperture = true},
	     {.FocalLength = 2000.0f, .Aperture = 0.5f},
	     {90.0f, 1.777778f, 1000.0f, 2.06f, 100000.0f, 1.2f}},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(Case.Name);
		FLiveLinkCameraStaticData StaticData;
		StaticData.bIsFieldOfViewSupported = Case.Claims.bFieldOfView;
		StaticData.bIsAspectRatioSupported = Case.Claims.bAspectRatio;
		StaticData.bIsFocalLengthSupported = Case.Claims.bFocalLength;
		StaticData.bIsFocusDistanceSupported = Case.Claims.bFocusDistance;
		StaticData.bIsApertureSupported = Case.Claims.bAperture;
		FLiveLinkCameraFrameData Frame;
		Frame.FieldOfView = Case.Written.FieldOfView.value_or(Frame.FieldOfView);
		Frame.AspectRatio = Case.Written.AspectRatio.value_or(Frame.AspectRatio);
		Frame.FocalLength = Case.Written.FocalLength.value_or(Frame.FocalLength);
		Frame.FocusDistance = Case.Written.FocusDistance.value_or(Frame.FocusDistance);
		Frame.Aperture = Case.Written.Aperture.value_or(Frame.Aperture);
		FStandInCameraComponent Camera;
		FStandInCineCameraComponent CineCamera(36.0f, 24.0f);
		// Away from the default 35 mm, so that a focal length left alone and one set to 35 mm differ.
		CineCamera.SetCurrentFocalLength(24.0f);

		FStandInLiveLinkCameraController::Tick(StaticData, Frame, Camera);
		FStandInLiveLinkCameraController::Tick(StaticData, Frame, CineCamera);

		EXPECT_FLOAT_EQ(Camera.GetFieldOfView(), Case.Shown.FieldOfView);
		EXPECT_FLOAT_EQ(Camera.GetAspectRatio(), Case.Shown.AspectRatio);
		EXPECT_NEAR(CineCamera.GetCurrentFocalLength(), Case.Shown.FocalLength, 0.05);
		EXPECT_NEAR(CineCamera.GetFieldOfView(), Case.Shown.CineFieldOfView, 0.05);
		EXPECT_FLOAT_EQ(CineCamera.GetManualFocusDistance(), Case.Shown.FocusDistance);
		EXPECT_FLOAT_EQ(CineCamera.GetCurrentAperture(), Case.Shown.Aperture);
		EXPECT_FLOAT_EQ(CineCamera.GetAspectRatio(), 1.5f);
	}
}
