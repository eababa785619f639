#pragma once

#include <string>
#include <vector>

namespace OrvidaBenchmark
{
/** One line of the closing summary: Measured's time per item divided by Baseline's. */
struct FRatio
{
	std::string Measured;
	std::string Baseline;
	std::string Label;
};

/**
 * Runs the registered benchmarks with the console reporter, then prints each ratio from the same run's
 * figures. Benchmarks must call SetItemsProcessed, so that ratios compare time per item. Returns the
 * process's exit code: 1 when a benchmark of a ratio did not run or reported an error.
 */
int RunWithRatios(int ArgumentCount, char** Arguments, const std::vector<FRatio>& Ratios);
} // namespace OrvidaBenchmark
