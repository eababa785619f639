#include "BenchmarkRatios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace OrvidaBenchmark
{
namespace
{
/** The console table, and each run's seconds per item and user counters kept for the summary. */
class FRatioReporter final : public benchmark::ConsoleReporter
{
public:
	// Plain text: the figures end up in logs and READMEs, where colour codes are noise.
	FRatioReporter()
	    : ConsoleReporter(OO_Tabular)
	{
	}

	void ReportRuns(const std::vector<Run>& Runs) override
	{
		ConsoleReporter::ReportRuns(Runs);
		for (const Run& Entry : Runs)
		{
			if (Entry.error_occurred)
			{
				continue;
			}
			// Aggregates (mean, median) are named after the run; the mean wins when repetitions are asked for.
			const std::string Name = Entry.run_type == Run::RT_Aggregate
			                             ? Entry.run_name.str() + (Entry.aggregate_name == "mean" ? "" : "/" + Entry.aggregate_name)
			                             : Entry.benchmark_name();
			for (const auto& [CounterName, Counter] : Entry.counters)
			{
				Counters[Name][CounterName] = Counter.value;
			}
			const auto Items = Entry.counters.find("items_per_second");
			if (Items != Entry.counters.end() && Items->second.value > 0.0)
			{
				SecondsPerItem[Name] = 1.0 / Items->second.value;
			}
		}
	}

	/** The value of Ratio's figure for the run Name; false when that run or its figure is missing or not positive. */
	bool Find(const std::string& Name, const std::string& Counter, double& OutValue) const
	{
		if (Counter.empty())
		{
			const auto Found = SecondsPerItem.find(Name);
			OutValue = Found == SecondsPerItem.end() ? 0.0 : Found->second;
			return Found != SecondsPerItem.end();
		}
		const auto Run = Counters.find(Name);
		if (Run == Counters.end())
		{
			return false;
		}
		const auto Found = Run->second.find(Counter);
		OutValue = Found == Run->second.end() ? 0.0 : Found->second;
		return OutValue > 0.0;
	}

	std::map<std::string, double> SecondsPerItem;
	std::map<std::string, std::map<std::string, double>> Counters;
};
} // namespace

int RunWithRatios(int ArgumentCount, char** Arguments, const std::vector<FRatio>& Ratios)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}
	FRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	benchmark::Shutdown();

	int ExitCode = 0;
	std::printf("\n");
	for (const FRatio& Ratio : Ratios)
	{
		double Measured = 0.0;
		double Baseline = 0.0;
		if (!Reporter.Find(Ratio.Measured, Ratio.Counter, Measured) ||
		    !Reporter.Find(Ratio.Baseline, Ratio.BaselineCounter.empty() ? Ratio.Counter : Ratio.BaselineCounter, Baseline))
		{
			std::printf("ratio %-48s not measured (a benchmark was filtered out or failed)\n", Ratio.Label.c_str());
			ExitCode = 1;
			continue;
		}
		if (Ratio.Counter.empty())
		{
			std::printf("ratio %-48s %8.2fx  (%.3f us / %.3f us per item)\n", Ratio.Label.c_str(), Measured / Baseline, Measured * 1e6, Baseline * 1e6);
		}
		else
		{
			std::printf("ratio %-48s %8.2fx  (%s %.6g / %.6g)\n", Ratio.Label.c_str(), Measured / Baseline, Ratio.Counter.c_str(), Measured, Baseline);
		}
	}
	return ExitCode;
}
} // namespace OrvidaBenchmark
