#pragma once

#include <chrono>
#include <functional>

/**
 * The host's game thread: runs one tick per period at absolute deadlines on the steady clock (tick N is due at
 * start + N periods), so a slow tick delays the next one but never shifts the ones after it. Ticks whose
 * deadline has already passed by a whole period are skipped rather than run back to back.
 *
 * Threads: Run belongs to the thread that becomes the game thread (the host's main thread).
 */
class FHostGameLoop
{
public:
	/** TickRate in hertz; a rate that is not positive and finite is taken as 60. */
	explicit FHostGameLoop(double TickRate);

	/** Calls Tick once per period until ShouldStop, asked before each tick, says so. */
	void Run(const std::function<void()>& Tick, const std::function<bool()>& ShouldStop) const;

private:
	std::chrono::steady_clock::duration Period;
};
