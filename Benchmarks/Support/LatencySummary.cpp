#include "LatencySummary.h"

#include <algorithm>
#include <cmath>

namespace OrvidaBenchmark
{
FLatencySummary FLatencySummary::Of(std::vector<double> Values)
{
	FLatencySummary Summary;
	Summary.Count = Values.size();
	if (Values.empty())
	{
		return Summary;
	}
	std::sort(Values.begin(), Values.end());
	// Nearest rank: the smallest value that at least that share of the set does not exceed.
	const auto Rank = [&Values](double Share) { return Values[size_t(std::ceil(Share * double(Values.size()))) - 1]; };
	Summary.Median = Rank(0.5);
	Summary.P99 = Rank(0.99);
	Summary.Max = Values.back();
	return Summary;
}
} // namespace OrvidaBenchmark
