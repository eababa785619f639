#include "Editor/FrameText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
/** The engine's rotator (degrees) as a quaternion X, Y, Z, W, so that the table below is written in angles. */
void RotatorToQuat(const double PitchYawRoll[3], double OutQuat[4])
{
	const double Half = std::numbers::pi / 360.0;
	const double SP = std::sin(PitchYawRoll[0] * Half), CP = std::cos(PitchYawRoll[0] * Half);
	const double SY = std::sin(PitchYawRoll[1] * Half), CY = std::cos(PitchYawRoll[1] * Half);
	const double SR = std::sin(PitchYawRoll[2] * Half), CR = std::cos(PitchYawRoll[2] * Half);
	OutQuat[0] = CR * SP * SY - SR * CP * CY;
	OutQuat[1] = -CR * SP * CY - SR * CP * SY;
	OutQuat[2] = CR * CP * SY - SR * SP * CY;
	OutQuat[3] = CR * CP * CY + SR * SP * SY;
}

/** 1 for the same rotation (q and -q are one rotation), less the further apart. */
double SameRotation(const double A[4], const double B[4]) { return std::abs(A[0] * B[0] + A[1] * B[1] + A[2] * B[2] + A[3] * B[3]); }
} // namespace

// Faults caught: pitch with the wrong sign or from the wrong product (the engine's pitch is nose up), yaw and roll
// swapped or turned the other way, and at the poles a pitch that is not held at plus or minus 90 (asin of a value
// just beyond 1 gives NaN) or yaw and roll that no longer make up the same rotation.
TEST(HostFrameText, PitchYawRollFromQuaternionsOfKnownAngles)
{
	struct FCase
	{
		double Angles[3];
		bool bAtPole;
	};
	const FCase Cases[] = {
	    {{0, 0, 0}, false},  {{30, 0, 0}, false},   {{-45, 0, 0}, false},      {{0, 90, 0}, false},        {{0, -135, 0}, false},
	    {{0, 0, 60}, false}, {{10, 20, 30}, false}, {{-60, 170, -100}, false}, {{89.5, 40, 10}, false},    {{-89.5, -40, 5}, false},
	    {{90, 30, 0}, true}, {{-90, 30, 0}, true},  {{89.99, -70, 20}, true},  {{-89.99, 120, -15}, true},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(testing::Message() << "pitch " << Case.Angles[0] << " yaw " << Case.Angles[1] << " roll " << Case.Angles[2]);
		double Quat[4], Angles[3], Back[4];
		RotatorToQuat(Case.Angles, Quat);
		FHostFrameText::ToPitchYawRoll(Quat, Angles);
		RotatorToQuat(Angles, Back);
		if (Case.bAtPole)
		{
			EXPECT_EQ(Angles[0], std::copysign(90.0, Case.Angles[0]));
			EXPECT_NEAR(SameRotation(Quat, Back), 1.0, 1e-6);
		}
		else
		{
			for (int Axis = 0; Axis < 3; ++Axis)
			{
				EXPECT_NEAR(Angles[Axis], Case.Angles[Axis], 1e-6) << "axis " << Axis;
			}
		}
	}
}

// Faults caught: frames a second truncated at a rate that is not whole (29 at 30000/1001, so that frame 29 reads
// 00:00:01:00 and frame 30 00:00:01:01), rounded to nearest instead of up
// as the engine's timecode does (147/5 counts 30 frames, not 29), hours, minutes or the sign lost, and a rate that
// is not positive given a text.
TEST(HostFrameText, TimecodeCountsWholeFramesAtTheRateRoundedUp)
{
	struct FCase
	{
		int64_t Frame;
		int32_t Numerator, Denominator;
		const char* Text;
	};
	const FCase Cases[] = {
	    {29, 30000, 1001, "00:00:00:29"},
	    {30, 30000, 1001, "00:00:01:00"},
	    {23, 24000, 1001, "00:00:00:23"},
	    {24, 24000, 1001, "00:00:01:00"},
	    {29, 147, 5, "00:00:00:29"},
	    {250, 25, 1, "00:00:10:00"},
	    {-26, 25, 1, "-00:00:01:01"},
	    {90061 * 60 + 5, 60, 1, "25:01:01:05"},
	    {10, 0, 1, ""},
	    {10, 25, 0, ""},
	    {10, -25, -1, ""},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(testing::Message() << "frame " << Case.Frame << " at " << Case.Numerator << "/" << Case.Denominator);
		EXPECT_EQ(FHostFrameText::FormatTimecode(Case.Frame, Case.Numerator, Case.Denominator), Case.Text);
	}
	EXPECT_EQ(FHostFrameText::FormatSceneTime(FQualifiedFrameTime(FFrameTime(FFrameNumber(30)), FFrameRate(30000, 1001))), "00:00:01:00 @ 30000/1001");
}
