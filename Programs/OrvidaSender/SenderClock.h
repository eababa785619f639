#pragma once

#include <atomic>
#include <chrono>

/**
 * The monotonic clock the pacer reads and sleeps on. Tests give the pacer a clock of their own, to see the
 * deadlines it is given without waiting for them.
 */
class ISenderClock
{
public:
	using FTimePoint = std::chrono::steady_clock::time_point;

	virtual ~ISenderClock() = default;

	virtual FTimePoint Now() const = 0;
	/** Returns true once Deadline has passed (at once for a deadline in the past), false as soon as bStop is seen set. */
	virtual bool SleepUntil(FTimePoint Deadline, const std::atomic<bool>& bStop) = 0;
};

/** The system's steady clock. Sleeps in short slices, so that a stop is seen within one slice. Any thread. */
class FSenderSteadyClock final : public ISenderClock
{
public:
	FTimePoint Now() const override { return std::chrono::steady_clock::now(); }
	bool SleepUntil(FTimePoint Deadline, const std::atomic<bool>& bStop) override;

	/** The clock sessions use unless told otherwise. */
	static FSenderSteadyClock& Get();
};
