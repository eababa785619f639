#include "StandIn/StandInCameraComponent.h"

void FStandInCameraComponent::SetFieldOfView(float InFieldOfView) { FieldOfView = InFieldOfView; }

void FStandInCameraComponent::SetAspectRatio(float InAspectRatio) { AspectRatio = InAspectRatio; }

void FStandInCameraComponent::SetProjectionMode(ELiveLinkCameraProjectionMode InProjectionMode) { ProjectionMode = InProjectionMode; }

float FStandInCameraComponent::GetFieldOfView() const { return FieldOfView; }

float FStandInCameraComponent::GetAspectRatio() const { return AspectRatio; }
