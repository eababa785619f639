#pragma once

#include <string>
#include <vector>

namespace OrvidaBenchmark
{
/** The median, 99th percentile and maximum of a set of durations, by nearest rank. */
struct FLatencySummary
{
	double Median = 0.0;
	double P99 = 0.0;
	double Max = 0.0;
	size_t Count = 0;

	/** All zero for an empty set. */
	static FLatencySummary Of(std::vector<double> Values);

	/** Sets the counters Prefix_median, Prefix_p99 and Prefix_max on a benchmark's State, each multiplied by Scale. */
	template <typename StateType> void SetCounters(StateType& State, const std::string& Prefix, double Scale = 1.0) const
	{
		State.counters[Prefix + "_median"] = Median * Scale;
		State.counters[Prefix + "_p99"] = P99 * Scale;
		State.counters[Prefix + "_max"] = Max * Scale;
	}
};
} // namespace OrvidaBenchmark
