#pragma once

#include "Misc/FrameRate.h"
#include "Misc/FrameTime.h"

/** A frame time tied to the rate it counts in; frame 0 at 24 frames per second by default, as the engine has it. */
struct FQualifiedFrameTime
{
	FFrameTime Time;
	FFrameRate Rate = FFrameRate(24, 1);

	constexpr FQualifiedFrameTime() = default;
	constexpr FQualifiedFrameTime(const FFrameTime& InTime, const FFrameRate& InRate)
	    : Time(InTime)
	    , Rate(InRate)
	{
	}

	/** Seconds since frame 0; 0 for a rate with no numerator. */
	constexpr double AsSeconds() const
	{
		return Rate.Numerator == 0 ? 0.0 : (double(Time.FrameNumber.Value) + double(Time.GetSubFrame())) * double(Rate.Denominator) / double(Rate.Numerator);
	}
};
