// Sixteen sources on sixteen ports in one host, fed 120 messages a second each by one orvida-send with sixteen
// --to (each message goes to every port), the game thread ticking at 60 Hz: the whole host's CPU as a
// percentage of one core over 10 s after 2 s of warm-up (the threads' schedstat nanoseconds; tick_cpu_pct is
// utime + stime), per source against one source fed the same way in the same run. Afterwards each source's console line must account for every message:
// received as many as were sent, one sample committed per datagram, and the frame Live Link holds being the one the ring's counts put due (the sender's
// timecode counts one frame a message from 0, so the due frame is committed minus those still in the ring). With 120 in and 60 ticks a second the ring drops
// about half by design; the counters give what each source published (committed - dropped - still in the ring) and dropped, averaged over the sources.

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
constexpr int32_t Rate = 120;
constexpr auto WarmUp = std::chrono::seconds(2);
constexpr auto Window = std::chrono::seconds(10);
// The sender outlasts the window, so that the window never sees the stream end.
constexpr double SendSeconds = 12.5;

/** Empty when the reading accounts for every one of Sent messages; otherwise what does not add up. */
std::string AccountFor(const FHostConsoleReading& Reading, int64_t Sent)
{
	const std::string Figures = Reading.Endpoint + ": sent " + std::to_string(Sent) + ", received " + std::to_string(Reading.Received) + ", samples " +
	                            std::to_string(Reading.Samples) + ", ring " + std::to_string(Reading.RingCount) + ", frame " +
	                            (Reading.PublishedFrame ? std::to_string(*Reading.PublishedFrame) : std::string("-"));
	if (Reading.Received != Sent || Reading.Samples != Reading.Received)
	{
		return Figures;
	}
	// The client enables one subject of a name and takes no frame of the others: only the enabled one's can be checked.
	if (!Reading.bSubjectDisabled && Reading.PublishedFrame != Reading.Samples - Reading.RingCount)
	{
		return Figures + " (not the frame the ring's counts put due)";
	}
	return "";
}

void BM_HostScale(benchmark::State& State)
{
	const int32_t SourceCount = int32_t(State.range(0));
	for (auto _ : State)
	{
		try
		{
			FHostUnderTest Host(SourceCount, TickRate);
			FSenderRun Sender(Host.GetEndpoints(), Rate, SendSeconds);
			std::this_thread::sleep_for(WarmUp);
			const std::optional<FCpuShare> Cpu = MeasureCpuShare(Host.GetPid(), Window);
			State.SetIterationTime(std::chrono::duration<double>(Window).count());
			if (!Cpu)
			{
				State.SkipWithError("the host exited during the window");
				break;
			}
			const FStreamAccount Account = SettleStream(Host, Sender, std::chrono::steady_clock::now() + std::chrono::seconds(10));
			std::string Fault = Account.Fault;
			double Published = 0.0, Dropped = 0.0, Enabled = 0.0;
			for (const FHostConsoleReading& Reading : Account.Readings)
			{
				Enabled += Reading.bSubjectDisabled ? 0.0 : 1.0;
				const std::string SourceFault = AccountFor(Reading, Account.Sent.Messages);
				Fault += SourceFault.empty() ? "" : SourceFault + "; ";
				Published += double(Reading.Samples - Reading.Dropped - Reading.RingCount);
				Dropped += double(Reading.Dropped);
			}
			if (!Fault.empty())
			{
				State.SkipWithError(("a source's samples do not add up: " + Fault).c_str());
				break;
			}
			State.counters["host_cpu_pct"] = Cpu->Percent;
			State.counters["tick_cpu_pct"] = Cpu->TickPercent;
			State.counters["cpu_pct_per_source"] = Cpu->Percent / SourceCount;
			State.counters["sent_per_source"] = double(Account.Sent.Messages);
			State.counters["published_per_source"] = Published / SourceCount;
			State.counters["dropped_per_source"] = Dropped / SourceCount;
			State.counters["enabled_subjects"] = Enabled;
		}
		catch (const std::exception& Error)
		{
			State.SkipWithError(Error.what());
			break;
		}
	}
}
BENCHMARK(BM_HostScale)->ArgName("sources")->Arg(1)->Arg(16)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
} // namespace

int main(int ArgumentCount, char** Arguments)
{
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments,
	                                      {{"BM_HostScale/sources:16/iterations:1/manual_time", "BM_HostScale/sources:1/iterations:1/manual_time",
	                                        "host CPU per source, 16 sources / 1 source", "cpu_pct_per_source"},
	                                       {"BM_HostScale/sources:16/iterations:1/manual_time", "BM_HostScale/sources:1/iterations:1/manual_time",
	                                        "host CPU, 16 sources / 1 source", "host_cpu_pct"}});
}
