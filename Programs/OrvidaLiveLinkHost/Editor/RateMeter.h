#pragma once

#include <chrono>
#include <cstdint>

/**
 * How fast a count grows, over about the last second: once a second has passed since the reference point, the
 * count's change since then over the time since then becomes the rate, and the present becomes the reference.
 * In between, the rate stays as it was, so a display that reads it once a second sees every step.
 *
 * Threads: one thread uses it (the host's game thread).
 */
class FHostRateMeter
{
public:
	/**
	 * Takes the count at Now and returns the rate per second: 0 until a second has passed since the first call.
	 * A count lower than the reference (a counter that started over) starts the meter over too.
	 */
	double Update(int64_t Count, std::chrono::steady_clock::time_point Now);

private:
	bool bStarted = false;
	int64_t ReferenceCount = 0;
	std::chrono::steady_clock::time_point ReferenceTime;
	double Rate = 0.0;
};
