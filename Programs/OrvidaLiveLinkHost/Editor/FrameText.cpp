#include "Editor/FrameText.h"

#include "LiveLinkTypes.h"
#include "Roles/LiveLinkCameraTypes.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace
{
constexpr double RadiansToDegrees = 180.0 / std::numbers::pi;

/** The angle in (-180, 180]. */
double NormalizeAxis(double Degrees)
{
	Degrees = std::fmod(Degrees, 360.0);
	if (Degrees > 180.0)
	{
		Degrees -= 360.0;
	}
	else if (Degrees <= -180.0)
	{
		Degrees += 360.0;
	}
	return Degrees;
}
} // namespace

void FHostFrameText::ToPitchYawRoll(const double Quat[4], double OutPitchYawRoll[3])
{
	const double X = Quat[0], Y = Quat[1], Z = Quat[2], W = Quat[3];
	const double SingularityTest = Z * X - W * Y;
	const double Yaw = std::atan2(2.0 * (W * Z + X * Y), 1.0 - 2.0 * (Y * Y + Z * Z)) * RadiansToDegrees;
	constexpr double SingularityThreshold = 0.4999995;
	if (SingularityTest < -SingularityThreshold)
	{
		OutPitchYawRoll[0] = -90.0;
		OutPitchYawRoll[2] = NormalizeAxis(-Yaw - 2.0 * std::atan2(X, W) * RadiansToDegrees);
	}
	else if (SingularityTest > SingularityThreshold)
	{
		OutPitchYawRoll[0] = 90.0;
		OutPitchYawRoll[2] = NormalizeAxis(Yaw - 2.0 * std::atan2(X, W) * RadiansToDegrees);
	}
	else
	{
		OutPitchYawRoll[0] = std::asin(2.0 * SingularityTest) * RadiansToDegrees;
		OutPitchYawRoll[2] = std::atan2(-2.0 * (W * X + Y * Z), 1.0 - 2.0 * (X * X + Y * Y)) * RadiansToDegrees;
	}
	OutPitchYawRoll[1] = Yaw;
}

std::string FHostFrameText::FormatSceneTime(const FQualifiedFrameTime& SceneTime)
{
	const FFrameRate& Rate = SceneTime.Rate;
	const std::string Timecode = FormatTimecode(SceneTime.Time.FrameNumber.Value, Rate.Numerator, Rate.Denominator);
	return Timecode.empty() ? Timecode : Timecode + " @ " + std::to_string(Rate.Numerator) + "/" + std::to_string(Rate.Denominator);
}

std::string FHostFrameText::FormatTimecode(int64_t FrameNumber, int32_t RateNumerator, int32_t RateDenominator)
{
	if (RateNumerator <= 0 || RateDenominator <= 0)
	{
		return {};
	}
	// Whole frames a second from whole numbers: 30000/1001 is 30 however the division rounds.
	const int64_t FramesPerSecond = (int64_t(RateNumerator) + RateDenominator - 1) / RateDenominator;
	const int64_t Frames = FrameNumber < 0 ? -FrameNumber : FrameNumber;
	const int64_t Seconds = Frames / FramesPerSecond;
	char Text[64];
	std::snprintf(Text, sizeof(Text), "%s%02lld:%02lld:%02lld:%02lld", FrameNumber < 0 ? "-" : "", (long long)(Seconds / 3600), (long long)(Seconds / 60 % 60),
	              (long long)(Seconds % 60), (long long)(Frames % FramesPerSecond));
	return Text;
}

FHostFrameSnapshot FHostFrameText::Describe(const FLiveLinkFrameDataStruct& FrameData)
{
	FHostFrameSnapshot Snapshot;
	const FLiveLinkBaseFrameData* Frame = FrameData.GetBaseData();
	if (Frame == nullptr)
	{
		return Snapshot;
	}
	Snapshot.WorldTime = Frame->WorldTime.GetOffsettedTime();
	Snapshot.SceneTime = FormatSceneTime(Frame->MetaData.SceneTime);
	if (const FLiveLinkTransformFrameData* TransformFrame = FrameData.Cast<FLiveLinkTransformFrameData>())
	{
		const FTransform& Transform = TransformFrame->Transform;
		const FVector& Location = Transform.GetTranslation();
		const FQuat& Rotation = Transform.GetRotation();
		const FVector& Scale = Transform.GetScale3D();
		Snapshot.Location[0] = Location.X, Snapshot.Location[1] = Location.Y, Snapshot.Location[2] = Location.Z;
		Snapshot.Rotation[0] = Rotation.X, Snapshot.Rotation[1] = Rotation.Y, Snapshot.Rotation[2] = Rotation.Z, Snapshot.Rotation[3] = Rotation.W;
		Snapshot.Scale[0] = Scale.X, Snapshot.Scale[1] = Scale.Y, Snapshot.Scale[2] = Scale.Z;
		ToPitchYawRoll(Snapshot.Rotation, Snapshot.PitchYawRoll);
	}
	if (const FLiveLinkCameraFrameData* Camera = FrameData.Cast<FLiveLinkCameraFrameData>())
	{
		Snapshot.bIsCamera = true;
		Snapshot.FieldOfView = Camera->FieldOfView;
		Snapshot.AspectRatio = Camera->AspectRatio;
		Snapshot.FocusDistance = Camera->FocusDistance;
	}
	return Snapshot;
}
