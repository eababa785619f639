#pragma once

#include "SenderClock.h"

#include <atomic>
#include <chrono>

/**
 * Turns stream offsets into absolute deadlines on the monotonic clock, counted from Start, so that a late
 * send never delays the ones after it (no drift). Speed 2 plays a stream twice as fast. One thread uses a pacer.
 */
class FSenderPacer
{
public:
	/** A speed that is not above zero plays at speed 1. */
	FSenderPacer(ISenderClock& InClock, double InSpeed)
	    : Clock(InClock)
	    , Speed(InSpeed > 0.0 ? InSpeed : 1.0)
	{
	}

	/** Makes now the time of stream offset 0. */
	void Start() { StartTime = Clock.Now(); }
	/** When, after Start, the frame at StreamOffset is due. */
	std::chrono::nanoseconds ScheduleOf(std::chrono::nanoseconds StreamOffset) const;
	/** Sleeps until ScheduleTime after Start; false when bStop was set first. */
	bool WaitUntil(std::chrono::nanoseconds ScheduleTime, const std::atomic<bool>& bStop) { return Clock.SleepUntil(StartTime + ScheduleTime, bStop); }
	/** Time since Start on the pacer's clock. */
	std::chrono::nanoseconds Elapsed() const { return Clock.Now() - StartTime; }

private:
	ISenderClock& Clock;
	double Speed;
	ISenderClock::FTimePoint StartTime;
};
