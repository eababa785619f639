#pragma once

#include "Misc/FrameRate.h"
#include "Misc/FrameTime.h"

/** A frame time tied to the rate it counts in. */
struct FQualifiedFrameTime
{
	FFrameTime Time;
	FFrameRate Rate;

	constexpr FQualifiedFrameTime() = default;
	constexpr FQualifiedFrameTime(const FFrameTime& InTime, const FFrameRate& InRate) : Time(InTime), Rate(InRate) {}

	/** Seconds since frame 0; 0 for a rate with no numerator. */
	constexpr double AsSeconds() const
	{
		return Rate.Numerator == 0 ? 0.0 : (double(Time.FrameNumber.Value) + double(Time.GetSubFrame())) * double(Rate.Denominator) / double(Rate.Numerator);
	}
};
