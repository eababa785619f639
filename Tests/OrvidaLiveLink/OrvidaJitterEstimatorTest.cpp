#include "OrvidaJitterEstimator.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace
{
constexpr double Period = 0.04;
constexpr double Delay = 0.005;

struct FJitterCase
{
	const char* Name;
	/** Arrival and timecode time of each datagram, in seconds. */
	std::vector<std::pair<double, double>> Arrivals;
	double ExpectedMilliseconds;
};

/** Count datagrams one period apart by timecode, each arriving Delay plus Offset(Index) later. */
template <typename OffsetType> std::vector<std::pair<double, double>> Stream(int32 Count, OffsetType&& Offset)
{
	std::vector<std::pair<double, double>> Arrivals;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Arrivals.emplace_back(Index * Period + Delay + Offset(Index), Index * Period);
	}
	return Arrivals;
}
} // namespace

// Faults: |D| taken without the absolute value (alternating delays cancel out), a gain other than 1/16 (the single
// step), seconds left unscaled, or a non-finite arrival kept as the reference (the estimate stays NaN).
TEST(OrvidaJitterEstimator, FollowsTheRunningEstimateOfInterarrivalJitter)
{
	const double NaN = std::numeric_limits<double>::quiet_NaN();
	const std::vector<FJitterCase> Cases = {
	    {"a constant delay", Stream(50, [](int32) { return 0.0; }), 0.0},
	    {"delays alternating by +-2 ms, in the limit", Stream(400, [](int32 Index) { return Index % 2 == 0 ? 0.002 : -0.002; }), 4.0},
	    {"one datagram 16 ms late", {{0.0, 0.0}, {Period + 0.016, Period}}, 1.0},
	    {"a datagram whose arrival is not a number", {{0.0, 0.0}, {NaN, Period}, {Period + 0.016, Period}}, 1.0},
	    {"a single datagram", {{Delay, 0.0}}, 0.0},
	};
	for (const FJitterCase& Case : Cases)
	{
		FOrvidaJitterEstimator Estimator;
		for (const auto& [Arrival, Timecode] : Case.Arrivals)
		{
			Estimator.AddArrival(Arrival, Timecode);
		}
		EXPECT_NEAR(Estimator.GetJitterMilliseconds(), Case.ExpectedMilliseconds, 1e-6) << Case.Name;
	}
}
