#pragma once

#include <string>
#include <vector>

namespace OrvidaBenchmark
{
/**
 * One line of the closing summary: Measured's time per item divided by Baseline's or, when Counter names one of
 * the runs' user counters (a rate, a latency, CPU seconds), Measured's value of it divided by Baseline's.
 */
struct FRatio
{
	std::string Measured;
	std::string Baseline;
	std::string Label;
	std::string Counter = {};
	/** The Baseline's counter, when it is not Counter. */
	std::string BaselineCounter = {};
};

/**
 * Runs the registered benchmarks with the console reporter, then prints each ratio from the same run's
 * figures. Benchmarks of a ratio without a counter must call SetItemsProcessed. Returns the
 * process's exit code: 1 when a benchmark of a ratio did not run or reported an error.
 */
int RunWithRatios(int ArgumentCount, char** Arguments, const std::vector<FRatio>& Ratios);
} // namespace OrvidaBenchmark
