// The whole host's resident memory, from /proc. Peak (VmHWM) after 10 s with one source and with ten, each fed
// 120 messages a second by one orvida-send with a --to per source, against the host with one source that
// receives nothing for those 10 s, measured in the same run. Then growth: one source fed 120 messages a second
// for 60 s after a 10 s warm-up, the resident set (VmRSS) read every second, reported as the first, last and
// highest reading and the least-squares slope in KiB a minute; a host that keeps nothing per message stays
// flat. Every run ends with the console showing each message the sender counted as received and decoded.
// Manual time is the time the stream ran.

#include "BenchmarkRatios.h"
#include "HostUnderTest.h"
#include "ProcessUsage.h"
#include "SenderRun.h"
#include "StreamAccount.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <thread>
#include <vector>

namespace
{
constexpr double TickRate = 60.0;
constexpr int32_t Rate = 120;
constexpr auto PeakSeconds = std::chrono::seconds(10);
// In a four-minute run by hand the resident set rose for the first 10 s of the stream and stayed flat after.
constexpr auto GrowthWarmUp = std::chrono::seconds(10);
constexpr int32_t GrowthSamples = 60;

/** Least-squares slope of Values read one a second, in units a minute; 0 for fewer than two values. */
double SlopePerMinute(const std::vector<double>& Values)
{
	const double Count = double(Values.size());
	if (Values.size() < 2)
	{
		return 0.0;
	}
	const double MeanX = (Count - 1.0) / 2.0;
	double MeanY = 0.0;
	for (const double Value : Values)
	{
		MeanY += Value / Count;
	}
	double Covariance = 0.0, Variance = 0.0;
	for (size_t Index = 0; Index < Values.size(); ++Index)
	{
		Covariance += (double(Index) - MeanX) * (Values[Index] - MeanY);
		Variance += (double(Index) - MeanX) * (double(Index) - MeanX);
	}
	return 60.0 * Covariance / Variance;
}

/** Empty when every source received and decoded every message; otherwise what fell short. */
std::string CheckStream(FHostUnderTest& Host, FSenderRun& Sender)
{
	const FStreamAccount Account = SettleStream(Host, Sender, std::chrono::steady_clock::now() + std::chrono::seconds(10));
	std::string Fault = Account.Fault;
	for (const FHostConsoleReading& Reading : Account.Readings)
	{
		if (Reading.Received != Account.Sent.Messages || Reading.Samples != Reading.Received)
		{
			Fault += " " + Reading.Endpoint + " received " + std::to_string(Reading.Received) + " of " + std::to_string(Account.Sent.Messages);
		}
	}
	return Fault;
}

void BM_HostPeakMemory(benchmark::State& State)
{
	const int32_t SourceCount = int32_t(State.range(0));
	const bool bFed = State.range(1) > 0;
	for (auto _ : State)
	{
		try
		{
			FHostUnderTest Host(SourceCount, TickRate);
			std::optional<FSenderRun> Sender;
			if (bFed)
			{
				Sender.emplace(Host.GetEndpoints(), Rate, std::chrono::duration<double>(PeakSeconds).count());
			}
			std::this_thread::sleep_for(PeakSeconds);
			const std::string Fault = Sender ? CheckStream(Host, *Sender) : "";
			const std::optional<FProcessUsage> Usage = ReadProcessUsage(Host.GetPid());
			State.SetIterationTime(std::chrono::duration<double>(PeakSeconds).count());
			if (!Fault.empty() || !Usage)
			{
				State.SkipWithError(Usage ? ("not all sent was received: " + Fault).c_str() : "the host exited");
				break;
			}
			State.counters["peak_KiB"] = double(Usage->PeakResidentKiB);
			State.counters["rss_KiB"] = double(Usage->ResidentKiB);
		}
		catch (const std::exception& Error)
		{
			State.SkipWithError(Error.what());
			break;
		}
	}
}
BENCHMARK(BM_HostPeakMemory)
    ->ArgNames({"sources", "rate"})
    ->Args({1, 0})
    ->Args({1, Rate})
    ->Args({10, Rate})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_HostMemoryGrowth(benchmark::State& State)
{
	for (auto _ : State)
	{
		try
		{
			FHostUnderTest Host(1, TickRate);
			const auto Start = std::chrono::steady_clock::now();
			FSenderRun Sender(Host.GetEndpoints(), Rate, std::chrono::duration<double>(GrowthWarmUp).count() + GrowthSamples + 0.5);
			std::vector<double> Resident;
			for (int32_t Index = 0; Index < GrowthSamples; ++Index)
			{
				std::this_thread::sleep_until(Start + GrowthWarmUp + std::chrono::seconds(Index));
				if (const std::optional<FProcessUsage> Usage = ReadProcessUsage(Host.GetPid()))
				{
					Resident.push_back(double(Usage->ResidentKiB));
				}
			}
			State.SetIterationTime(double(GrowthSamples));
			const std::string Fault = CheckStream(Host, Sender);
			if (int32_t(Resident.size()) != GrowthSamples || !Fault.empty())
			{
				State.SkipWithError(Fault.empty() ? "the host exited during the run" : ("not all sent was received: " + Fault).c_str());
				break;
			}
			State.counters["rss_first_KiB"] = Resident.front();
			State.counters["rss_last_KiB"] = Resident.back();
			State.counters["rss_max_KiB"] = *std::max_element(Resident.begin(), Resident.end());
			State.counters["slope_KiB_per_min"] = SlopePerMinute(Resident);
		}
		catch (const std::exception& Error)
		{
			State.SkipWithError(Error.what());
			break;
		}
	}
}
BENCHMARK(BM_HostMemoryGrowth)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
} // namespace

int main(int ArgumentCount, char** Arguments)
{
	const std::string Idle = "BM_HostPeakMemory/sources:1/rate:0/iterations:1/manual_time";
	return OrvidaBenchmark::RunWithRatios(
	    ArgumentCount, Arguments,
	    {{"BM_HostPeakMemory/sources:1/rate:120/iterations:1/manual_time", Idle, "peak memory, 1 source at 120/s / 1 idle source", "peak_KiB"},
	     {"BM_HostPeakMemory/sources:10/rate:120/iterations:1/manual_time", Idle, "peak memory, 10 sources at 120/s / 1 idle source", "peak_KiB"}});
}
