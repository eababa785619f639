#include "BenchmarkRatios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace OrvidaBenchmark
{
namespace
{
/** The console table, and each run's seconds per item kept for the summary. */
class FRatioReporter final : public benchmark::ConsoleReporter
{
public:
	// Plain text: the figures end up in logs and READMEs, where colour codes are noise.
	FRatioReporter() : ConsoleReporter(OO_Tabular) {}

	void ReportRuns(const std::vector<Run>& Runs) override
	{
		ConsoleReporter::ReportRuns(Runs);
		for (const Run& Entry : Runs)
		{
			const auto Items = Entry.counters.find("items_per_second");
			if (Entry.error_occurred || Items == Entry.counters.end() || Items->second.value <= 0.0)
			{
				continue;
			}
			// Aggregates (mean, median) are named after the run; the mean wins when repetitions are asked for.
			const std::string Name = Entry.run_type == Run::RT_Aggregate ? Entry.run_name.str() + (Entry.aggregate_name == "mean" ? "" : "/" + Entry.aggregate_name) : Entry.benchmark_name();
			SecondsPerItem[Name] = 1.0 / Items->second.value;
		}
	}

	std::map<std::string, double> SecondsPerItem;
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
		const auto Measured = Reporter.SecondsPerItem.find(Ratio.Measured);
		const auto Baseline = Reporter.SecondsPerItem.find(Ratio.Baseline);
		if (Measured == Reporter.SecondsPerItem.end() || Baseline == Reporter.SecondsPerItem.end())
		{
			std::printf("ratio %-48s not measured (a benchmark was filtered out or failed)\n", Ratio.Label.c_str());
			ExitCode = 1;
			continue;
		}
		std::printf("ratio %-48s %8.2fx  (%.3f us / %.3f us per item)\n", Ratio.Label.c_str(), Measured->second / Baseline->second, Measured->second * 1e6, Baseline->second * 1e6);
	}
	return ExitCode;
}
} // namespace OrvidaBenchmark
