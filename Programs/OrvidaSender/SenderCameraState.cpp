#include "SenderCameraState.h"

#include <cmath>
#include <numbers>

void FSenderCameraState::SetRotationFromYawPitch(double YawDegrees, double PitchDegrees)
{
	const double HalfYaw = YawDegrees * std::numbers::pi / 360.0;
	const double HalfPitch = PitchDegrees * std::numbers::pi / 360.0;
	const double SP = std::sin(HalfPitch), CP = std::cos(HalfPitch), SY = std::sin(HalfYaw), CY = std::cos(HalfYaw);
	Rotation[0] = SP * SY;
	Rotation[1] = -SP * CY;
	Rotation[2] = CP * SY;
	Rotation[3] = CP * CY;
}

void FSenderCameraState::SetLens(double FocalLengthMillimetres, double FocusDistanceCentimetres)
{
	constexpr double SensorWidthMillimetres = 36.0;
	const double HalfAngle = FocalLengthMillimetres > 0.0 ? std::atan(SensorWidthMillimetres / (2.0 * FocalLengthMillimetres)) : std::numbers::pi / 2.0;
	Lens[0] = FocalLengthMillimetres;
	Lens[1] = FocusDistanceCentimetres;
	Lens[2] = 16.0 / 9.0;
	Lens[3] = 2.0 * HalfAngle * 180.0 / std::numbers::pi;
}
