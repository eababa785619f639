#include "SenderPath.h"

#include <cmath>
#include <numbers>

namespace
{
/** What the camera looks at, in centimetres: a subject's head height above the origin. */
constexpr double TargetHeight = 150.0;

void LookAtTarget(FSenderCameraState& State)
{
	const double ToX = -State.Location[0], ToY = -State.Location[1], ToZ = TargetHeight - State.Location[2];
	const double Horizontal = std::hypot(ToX, ToY);
	State.SetRotationFromYawPitch(std::atan2(ToY, ToX) * 180.0 / std::numbers::pi, std::atan2(ToZ, Horizontal) * 180.0 / std::numbers::pi);
}
} // namespace

std::optional<FSenderPath::EKind> FSenderPath::ParseKind(std::string_view Text)
{
	if (Text == "orbit")
	{
		return EKind::Orbit;
	}
	if (Text == "dolly")
	{
		return EKind::Dolly;
	}
	if (Text == "static")
	{
		return EKind::Static;
	}
	return std::nullopt;
}

FSenderCameraState FSenderPath::Evaluate(int64_t FrameIndex) const
{
	// Seconds from the rate's exact frame times, so that a path at 30000/1001 is the path at 30 slowed down.
	const double Seconds = std::chrono::duration<double>(Rate.TimeOfFrame(FrameIndex)).count();
	FSenderCameraState State;
	switch (Kind)
	{
	case EKind::Orbit:
	{
		constexpr double Radius = 400.0, Height = 170.0, SecondsPerTurn = 12.0;
		const double Angle = 2.0 * std::numbers::pi * Seconds / SecondsPerTurn;
		State.Location[0] = Radius * std::cos(Angle);
		State.Location[1] = Radius * std::sin(Angle);
		State.Location[2] = Height;
		State.SetLens(35.0, Radius);
		LookAtTarget(State);
		break;
	}
	case EKind::Dolly:
	{
		// Back and forth along Y in front of the subject, zooming in as it moves away from the centre line.
		constexpr double Distance = 500.0, Travel = 300.0, SecondsPerPass = 10.0;
		const double Phase = std::sin(2.0 * std::numbers::pi * Seconds / SecondsPerPass);
		State.Location[0] = -Distance;
		State.Location[1] = Travel * Phase;
		State.Location[2] = TargetHeight;
		State.SetLens(35.0 + 15.0 * std::abs(Phase), Distance);
		State.SetRotationFromYawPitch(0.0, 0.0);
		break;
	}
	case EKind::Static:
		State.Location[0] = -500.0;
		State.Location[2] = TargetHeight;
		State.SetLens(35.0, 500.0);
		LookAtTarget(State);
		break;
	}
	return State;
}
