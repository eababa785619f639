#include "HAL/PlatformTime.h"

#include "StandIn/StandInClock.h"

#include "Templates/UnrealTemplate.h"

#include <chrono>

namespace
{
TFunction<uint64()>& CycleSource()
{
	static TFunction<uint64()> Source;
	return Source;
}
} // namespace

uint64 FGenericPlatformTime::Cycles64()
{
	if (const TFunction<uint64()>& Source = CycleSource())
	{
		return Source();
	}
	return uint64(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

void FStandInClock::SetCycleSource(TFunction<uint64()> Source) { CycleSource() = MoveTemp(Source); }
