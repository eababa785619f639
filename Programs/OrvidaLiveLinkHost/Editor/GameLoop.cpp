#include "Editor/GameLoop.h"

#include <cmath>
#include <thread>

FHostGameLoop::FHostGameLoop(double TickRate)
{
	const double Rate = std::isfinite(TickRate) && TickRate > 0.0 ? TickRate : 60.0;
	Period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / Rate));
	if (Period.count() <= 0)
	{
		Period = std::chrono::steady_clock::duration(1);
	}
}

void FHostGameLoop::Run(const std::function<void()>& Tick, const std::function<bool()>& ShouldStop) const
{
	const std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
	int64_t TickIndex = 0;
	while (!ShouldStop())
	{
		Tick();
		++TickIndex;
		const std::chrono::steady_clock::time_point Now = std::chrono::steady_clock::now();
		const int64_t TicksDue = (Now - Start) / Period;
		// Late by more than a period: the ticks in between are dropped, the one due most recently runs at once.
		if (TicksDue > TickIndex)
		{
			TickIndex = TicksDue;
		}
		std::this_thread::sleep_until(Start + TickIndex * Period);
	}
}
