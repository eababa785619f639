#pragma once

#include "CoreTypes.h"

/** A time span in ticks of 100 nanoseconds. */
struct FTimespan
{
	static constexpr int64 TicksPerMillisecond = 10000;
	static constexpr int64 TicksPerSecond = 10000000;

	constexpr FTimespan() = default;
	constexpr explicit FTimespan(int64 InTicks)
	    : Ticks(InTicks)
	{
	}

	static constexpr FTimespan FromMilliseconds(double Milliseconds) { return FTimespan(int64(Milliseconds * TicksPerMillisecond)); }
	static constexpr FTimespan FromSeconds(double Seconds) { return FTimespan(int64(Seconds * TicksPerSecond)); }
	static constexpr FTimespan Zero() { return FTimespan(0); }

	constexpr int64 GetTicks() const { return Ticks; }
	constexpr double GetTotalMilliseconds() const { return double(Ticks) / TicksPerMillisecond; }
	constexpr double GetTotalSeconds() const { return double(Ticks) / TicksPerSecond; }

	constexpr bool operator==(const FTimespan& Other) const { return Ticks == Other.Ticks; }
	constexpr bool operator<(const FTimespan& Other) const { return Ticks < Other.Ticks; }

private:
	int64 Ticks = 0;
};
