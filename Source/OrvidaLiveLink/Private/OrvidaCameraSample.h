#pragma once

#include "CoreMinimal.h"

/**
 * One decoded camera message: what the decoder makes of a datagram, what each ring slot holds and what the
 * publisher turns into a Live Link frame. The default is all zero (a zero quaternion and a zero scale), which
 * is not what decoding an empty camera record gives.
 */
struct ORVIDALIVELINK_API FOrvidaCameraSample
{
	/**
	 * Position X, Y, Z in engine units, as read: the frame gets them in the engine's own precision (single in
	 * 4.27, double in 5.x), so that a 5.x engine loses nothing.
	 */
	double Location[3] = {0.0, 0.0, 0.0};
	/** Orientation as a quaternion X, Y, Z, W, passed on unchanged and never normalised; as read, like Location. */
	double Rotation[4] = {0.0, 0.0, 0.0, 0.0};
	double Scale[3] = {0.0, 0.0, 0.0};
	/** [0] carried only; [1] focus distance; [2] aspect ratio; [3] field of view. */
	double Lens[4] = {0.0, 0.0, 0.0, 0.0};
	/** [0] frame number at the rate [1] / [2]. */
	int32 Timecode[3] = {0, 0, 0};
	/** [0] only for change detection; [1] slate; [2] take number as decimal text. */
	FString Metadata[3];
	/** 2 means the camera application is recording. */
	int32 State = 0;

	bool operator==(const FOrvidaCameraSample& Other) const;
	bool operator!=(const FOrvidaCameraSample& Other) const { return !(*this == Other); }
};
