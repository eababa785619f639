#include "StandIn/StandInLiveLinkCameraController.h"

#include "StandIn/StandInCameraComponent.h"
#include "StandIn/StandInCineCameraComponent.h"

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
		if (StaticData.bIsFocalLengthSupported)
		{
			CineCamera->SetCurrentFocalLength(FrameData.FocalLength);
		}
		if (StaticData.bIsFocusDistanceSupported)
		{
			CineCamera->SetManualFocusDistance(FrameData.FocusDistance);
		}
		if (StaticData.bIsApertureSupported)
		{
			CineCamera->SetCurrentAperture(FrameData.Aperture);
		}
	}
}
