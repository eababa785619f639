#include "StandIn/StandInCineCameraComponent.h"

#include <cmath>
#include <numbers>

namespace
{
constexpr double DegreesPerRadian = 180.0 / std::numbers::pi;

/** The engine's clamp, which turns a NaN into the maximum where std::clamp would pass it through. */
float Clamp(float Value, float Min, float Max) { return Value < Min ? Min : Value < Max ? Value : Max; }
} // namespace

FStandInCineCameraComponent::FStandInCineCameraComponent(float InSensorWidth, float InSensorHeight)
    : SensorWidth(InSensorWidth)
    , SensorHeight(InSensorHeight)
{
}

void FStandInCineCameraComponent::SetFieldOfView(float InFieldOfView)
{
	FStandInCameraComponent::SetFieldOfView(InFieldOfView);
	SetCurrentFocalLength(float((SensorWidth / 2.0) / std::tan(InFieldOfView / 2.0 / DegreesPerRadian)));
}

void FStandInCineCameraComponent::SetCurrentFocalLength(float InFocalLength) { CurrentFocalLength = Clamp(InFocalLength, MinFocalLength, MaxFocalLength); }

void FStandInCineCameraComponent::SetCurrentAperture(float InAperture) { CurrentAperture = Clamp(InAperture, MinFStop, MaxFStop); }

void FStandInCineCameraComponent::SetManualFocusDistance(float InDistance) { ManualFocusDistance = InDistance; }

float FStandInCineCameraComponent::GetFieldOfView() const { return float(2.0 * std::atan(SensorWidth / (2.0 * CurrentFocalLength)) * DegreesPerRadian); }

float FStandInCineCameraComponent::GetAspectRatio() const { return SensorWidth / SensorHeight; }
