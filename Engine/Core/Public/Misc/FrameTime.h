#pragma once

#include "CoreTypes.h"
#include "Misc/FrameNumber.h"

/** A frame number and a subframe in [0, 1). */
struct FFrameTime
{
	/** The largest single-precision value below 1.0. */
	static constexpr float MaxSubframe = 0.99999994f;

	constexpr FFrameTime() = default;
	constexpr FFrameTime(int32 InFrameNumber)
	    : FrameNumber(InFrameNumber)
	{
	}
	constexpr FFrameTime(FFrameNumber InFrameNumber)
	    : FrameNumber(InFrameNumber)
	{
	}
	/** A subframe outside [0, MaxSubframe] is clamped into it. */
	constexpr FFrameTime(FFrameNumber InFrameNumber, float InSubFrame)
	    : FrameNumber(InFrameNumber)
	    , SubFrame(InSubFrame < 0.0f ? 0.0f : (InSubFrame > MaxSubframe ? MaxSubframe : InSubFrame))
	{
	}

	constexpr float GetSubFrame() const { return SubFrame; }
	constexpr FFrameNumber GetFrame() const { return FrameNumber; }

	FFrameNumber FrameNumber;

private:
	float SubFrame = 0.0f;
};
