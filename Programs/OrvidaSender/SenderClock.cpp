#include "SenderClock.h"

#include <algorithm>
#include <thread>

bool FSenderSteadyClock::SleepUntil(FTimePoint Deadline, const std::atomic<bool>& bStop)
{
	constexpr std::chrono::milliseconds Slice(50);
	while (!bStop.load(std::memory_order_relaxed))
	{
		const FTimePoint Now = std::chrono::steady_clock::now();
		if (Now >= Deadline)
		{
			return true;
		}
		std::this_thread::sleep_until(std::min(Deadline, Now + Slice));
	}
	return false;
}

FSenderSteadyClock& FSenderSteadyClock::Get()
{
	static FSenderSteadyClock Clock;
	return Clock;
}
