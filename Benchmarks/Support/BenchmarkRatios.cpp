#include "BenchmarkRatios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>

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
			if (Entry.error_occurred)
			{
				continue;
			}
			// Aggregates (mean, median) are named after the run; the mean wins when repetitions are asked for.
			const std::string Name = Entry.run_type == Run::RT_Aggregate ? Entry.run_name.str() + (Entry.aggregate_name == "mean" ? "" : "/" + Entry.aggregate_name) : Entry.benchmark_name();
			for (const auto& [CounterName, Counter] : Entry.counters)
			{
				Figures[Name][CounterName] = Counter.value;
			}
			const auto Items = Entry.counters.find("items_per_second");
			if (Items != Entry.counters.end() && Items->second.value > 0.0)
			{
				Figures[Name][SecondsPerItem] = 1.0 / Items->second.value;
			}
		}
	}

	/** Looks a run's figure up: its seconds per item, or a counter by name; nullopt when it has none. */
	std::optional<double> Find(const std::string& Name, const std::string& Figure) const
	{
		const auto Run = Figures.find(Name);
		if (Run == Figures.end())
		{
			return std::nullopt;
		}
		const auto Found = Run->second.find(Figure);
		return Found == Run->second.end() ? std::nullopt : std::optional<double>(Found->second);
	}

	static constexpr const char* SecondsPerItem = "seconds per item";

private:
	std::map<std::string, std::map<std::string, double>> Figures;
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
		const std::string Figure = Ratio.Counter.empty() ? FRatioReporter::SecondsPerItem : Ratio.Counter;
		const std::optional<double> Measured = Reporter.Find(Ratio.Measured, Figure);
		const std::optional<double> Baseline = Reporter.Find(Ratio.Baseline, Figure);
		if (!Measured || !Baseline)
		{
			std::printf("ratio %-48s not measured (a benchmark was filtered out or failed)\n", Ratio.Label.c_str());
			ExitCode = 1;
			continue;
		}
		if (Ratio.Counter.empty())
		{
			std::printf("ratio %-48s %8.2fx  (%.3f us / %.3f us per item)\n", Ratio.Label.c_str(), *Measured / *Baseline, *Measured * 1e6, *Baseline * 1e6);
		}
		else
		{
			std::printf("ratio %-48s %8.2fx  (%s %.6g / %.6g)\n", Ratio.Label.c_str(), *Measured / *Baseline, Ratio.Counter.c_str(), *Measured, *Baseline);
		}
	}
	return ExitCode;
}
} // namespace OrvidaBenchmark
