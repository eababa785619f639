// The whole host's CPU, as a percentage of one core, with one source fed by orvida-send at 25, 60, 120 and
// 240 messages a second and the game thread ticking at 60 Hz, against the same host with the same source and
// no sender, measured in the same run. Each run starts a fresh host, lets the stream settle for 2 s, then
// measures 10 s; afterwards the host's console must show every message the sender counted as received and
// decoded, or the run reports an error. Manual time is the window. host_cpu_pct sums the threads' nanoseconds
// on a CPU (schedstat); tick_cpu_pct is utime + stime from /proc/PID/stat, whose 10 ms ticks make it a tenth
// of a point coarse at a load of about one percent.

#include "BenchmarkRatios.h"
#include "HostUnderTest.h"
#include "ProcessUsage.h"
#include "SenderRun.h"
#include "StreamAccount.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <exception>
#include <optional>
#include <thread>

namespace
{
constexpr double TickRate = 60.0;
constexpr auto WarmUp = std::chrono::seconds(2);
constexpr auto Window = std::chrono::seconds(10);
// The sender outlasts the window, so that the window never sees the stream end.
constexpr double SendSeconds = 12.5;

void BM_HostCpu(benchmark::State& State)
{
	const int32_t Rate = int32_t(State.range(0));
	for (auto _ : State)
	{
		try
		{
			FHostUnderTest Host(1, TickRate);
			std::optional<FSenderRun> Sender;
			if (Rate > 0)
			{
				Sender.emplace(Host.GetEndpoints(), Rate, SendSeconds);
			}
			std::this_thread::sleep_for(WarmUp);
			const std::optional<FCpuShare> Cpu = MeasureCpuShare(Host.GetPid(), Window);
			State.SetIterationTime(std::chrono::duration<double>(Window).count());
			if (!Cpu)
			{
				State.SkipWithError("the host exited during the window");
				break;
			}
			State.counters["host_cpu_pct"] = Cpu->Percent;
			State.counters["tick_cpu_pct"] = Cpu->TickPercent;
			if (Sender)
			{
				const FStreamAccount Account = SettleStream(Host, *Sender, std::chrono::steady_clock::now() + std::chrono::seconds(10));
				if (!Account.Fault.empty() || Account.Readings[0].Received != Account.Sent.Messages)
				{
					State.SkipWithError(("not all sent was received: " + Account.Fault).c_str());
					break;
				}
				State.counters["sent"] = double(Account.Sent.Messages);
				State.counters["received"] = double(Account.Readings[0].Received);
			}
		}
		catch (const std::exception& Error)
		{
			State.SkipWithError(Error.what());
			break;
		}
	}
}
BENCHMARK(BM_HostCpu)->ArgName("rate")->Arg(0)->Arg(25)->Arg(60)->Arg(120)->Arg(240)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
} // namespace

int main(int ArgumentCount, char** Arguments)
{
	const auto At = [](int Rate) { return "BM_HostCpu/rate:" + std::to_string(Rate) + "/iterations:1/manual_time"; };
	std::vector<OrvidaBenchmark::FRatio> Ratios;
	for (const int Rate : {25, 60, 120, 240})
	{
		Ratios.push_back({At(Rate), At(0), "host CPU at " + std::to_string(Rate) + "/s / idle host", "host_cpu_pct"});
	}
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments, Ratios);
}
