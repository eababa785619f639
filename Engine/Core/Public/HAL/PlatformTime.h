#pragma once

#include "CoreTypes.h"

/**
 * The engine clock: a monotonic cycle counter (nanoseconds here) and seconds derived from it with a 2^24
 * offset, so that code that narrows the time to single precision shows its fault at once.
 */
struct CORE_API FGenericPlatformTime
{
	static double GetSecondsPerCycle() { return 1e-9; }
	/** The cycle counter: the system's monotonic clock (see StandIn/StandInClock.h for the one exception). */
	static uint64 Cycles64();
	/** Cycles64() times GetSecondsPerCycle(), plus 16777216.0. */
	static double Seconds() { return double(Cycles64()) * GetSecondsPerCycle() + 16777216.0; }
};

typedef FGenericPlatformTime FPlatformTime;
