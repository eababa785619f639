#include "SenderPath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
/** Where the camera's forward axis (the engine's X) points after its rotation. */
std::array<double, 3> Forward(const FSenderCameraState& State)
{
	const double X = State.Rotation[0], Y = State.Rotation[1], Z = State.Rotation[2], W = State.Rotation[3];
	return {1.0 - 2.0 * (Y * Y + Z * Z), 2.0 * (X * Y + W * Z), 2.0 * (X * Z - W * Y)};
}

std::array<double, 3> Normalised(double X, double Y, double Z)
{
	const double Length = std::sqrt(X * X + Y * Y + Z * Z);
	return {X / Length, Y / Length, Z / Length};
}
} // namespace

TEST(SenderPath, OrbitAndStaticLookAtTheSubjectAndDollyLooksAhead)
{
	// A wrong sign in the rotator-to-quaternion formula points the camera away from, or above, the subject.
	for (const FSenderPath::EKind Kind : {FSenderPath::EKind::Orbit, FSenderPath::EKind::Dolly, FSenderPath::EKind::Static})
	{
		for (const int64_t Frame : {0, 40, 95, 200})
		{
			const FSenderCameraState State = FSenderPath(Kind, {25, 1}).Evaluate(Frame);
			const std::array<double, 3> Wanted = Kind == FSenderPath::EKind::Dolly
			                                         ? std::array<double, 3>{1.0, 0.0, 0.0}
			                                         : Normalised(-State.Location[0], -State.Location[1], 150.0 - State.Location[2]);
			const std::array<double, 3> Got = Forward(State);
			for (size_t Axis = 0; Axis < 3; ++Axis)
			{
				EXPECT_NEAR(Got[Axis], Wanted[Axis], 1e-9) << "path " << int(Kind) << ", frame " << Frame << ", axis " << Axis;
			}
		}
	}
}

TEST(SenderCameraState, FieldOfViewFollowsTheFocalLength)
{
	// 36 mm of sensor behind a 18 mm lens sees 90 degrees across.
	FSenderCameraState State;
	State.SetLens(18.0, 100.0);
	EXPECT_NEAR(State.Lens[3], 90.0, 1e-9);
	EXPECT_EQ(State.Lens[0], 18.0);
	EXPECT_EQ(State.Lens[1], 100.0);
}
