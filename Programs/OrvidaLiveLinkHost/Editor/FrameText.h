#pragma once

#include "Editor/Snapshot.h"
#include "LiveLinkTypes.h"

/** A Live Link frame as the browser shows it: plain numbers and texts. Any thread; no engine state is read. */
struct FHostFrameText
{
	/** The frame's transform, lens (camera frames), scene time and world time; an empty frame gives the defaults. */
	static FHostFrameSnapshot Describe(const FLiveLinkFrameDataStruct& FrameData);

	/**
	 * X, Y, Z, W as pitch, yaw and roll in degrees, as the engine's FQuat::Rotator computes them (pitch held at
	 * plus or minus 90 near the poles). A quaternion that is not normalised gives what the formula gives.
	 */
	static void ToPitchYawRoll(const double Quat[4], double OutPitchYawRoll[3]);

	/** FormatTimecode's text, then " @ numerator/denominator"; empty where FormatTimecode's is. */
	static std::string FormatSceneTime(const FQualifiedFrameTime& SceneTime);

	/**
	 * The frame number at the rate as non-drop timecode HH:MM:SS:FF, with frames per second rounded up as the
	 * engine's timecode does (30000/1001 counts 30 frames a second); a negative frame number gets a leading '-'.
	 * Empty for a rate whose numerator or denominator is not positive.
	 */
	static std::string FormatTimecode(int64_t FrameNumber, int32_t RateNumerator, int32_t RateDenominator);
};
