// The engine clock's source, which tests and benchmarks replace so that clock steps are exact and nothing
// sleeps. The engine reads the processor's counter and offers no way to replace it.
#pragma once

#include "CoreTypes.h"
#include "Templates/Function.h"

struct CORE_API FStandInClock
{
	/** Replaces FPlatformTime's cycle counter (null restores the system's). Set it before other threads read the clock. */
	static void SetCycleSource(TFunction<uint64()> Source);
};
