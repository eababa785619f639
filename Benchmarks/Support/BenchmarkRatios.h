#pragma once

#include <string>
#include <vector>

namespace OrvidaBenchmark
{
/** One line of the closing summary: Measured's time per item, or its counter Counter, divided by Baseline's. */
struct FRatio
{
	std::string Measured;
	std::string Baseline;
	std::string Label;
	/** Empty for time per item. */
	std::string Counter;
};

/**
 * Runs the registered benchmarks with the console reporter, then prints each ratio from the same run's
 * figures. Ratios of time per item need both benchmarks to call SetItemsProcessed. Returns the
 * process's exit code: 1 when a benchmark of a ratio did not run or reported an error.
 */
int RunWithRatios(int ArgumentCount, char** Arguments, const std::vector<FRatio>& Ratios);
} // namespace OrvidaBenchmark
