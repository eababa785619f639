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

	/**
	 * HH:MM:SS:FF @ numerator/denominator, counting whole frames at the rate rounded to whole frames a second
	 * (non-drop); empty for a rate below one frame a second or with a denominator of 0.
	 */
	static std::string FormatSceneTime(const FQualifiedFrameTime& SceneTime);
};
