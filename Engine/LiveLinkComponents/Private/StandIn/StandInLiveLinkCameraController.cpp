#include "StandIn/StandInLiveLinkCameraController.h"

#include "Runtime/Launch/Resources/Version.h"
#include "StandIn/StandInCameraComponent.h"
#include "StandIn/StandInCineCameraComponent.h"

namespace
{
/** The 5.x controller leaves a Cine Camera's lens alone for a value of 1 or less; 4.27's applies any claimed value. */
bool IsApplicableLensValue(float Value) { return ENGINE_MAJOR_VERSION < 5 || Value > 1.0f; }

void ApplyFocus(const FLiveLinkCameraStaticData& StaticData, const FLiveLinkCameraFrameData& FrameData, FStandInCineCameraComponent& CineCamera)
{
#if ENGINE_MAJOR_VERSION >= 5
	if (!StaticData.bIsDepthOfFieldSupported)
	{
		CineCamera.SetFocusMethod(EStandInCameraFocusMethod::Disable);
		return;
	}
	if (StaticData.bIsFocusDistanceSupported)
	{
		CineCamera.SetFocusMethod(EStandInCameraFocusMethod::Manual);
	}
#endif
	if (StaticData.bIsFocusDistanceSupported && IsApplicableLensValue(FrameData.FocusDistance))
	{
		CineCamera.SetManualFocusDistance(FrameData.FocusDistance);
	}
}
} // namespace

void FStandInLiveLinkCameraController::Tick(const FLiveLinkCameraStaticData& StaticData, const FLiveLinkCameraFrameData& FrameData,
                                            FStandInCameraComponent& Camera)
{
	if (StaticData.bIsFieldOfViewSupported)
	{
		Camera.SetFieldOfView(FrameData.FieldOfView);
	}
	if (StaticData.bIsAspectRatioSupported)
	{
		Camera.SetAspectRatio(FrameData.AspectRatio);
	}
	if (StaticData.bIsProjectionModeSupported)
	{
		Camera.SetProjectionMode(FrameData.ProjectionMode);
	}
	// After the field of view, so that a claimed focal length wins over the one the field of view gave.
	if (FStandInCineCameraComponent* CineCamera = dynamic_cast<FStandInCineCameraComponent*>(&Camera))
	{
		if (StaticData.bIsFocalLengthSupported && IsApplicableLensValue(FrameData.FocalLength))
		{
			CineCamera->SetCurrentFocalLength(FrameData.FocalLength);
		}
		ApplyFocus(StaticData, FrameData, *CineCamera);
		if (StaticData.bIsApertureSupported && IsApplicableLensValue(FrameData.Aperture))
		{
			CineCamera->SetCurrentAperture(FrameData.Aperture);
		}
	}
}
