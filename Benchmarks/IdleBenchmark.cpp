// What a source costs while nothing arrives: the CPU time the whole process takes over ten seconds with one
// and with ten idle sources, against as many bare receivers, each a thread waiting on its own socket with
// `poll` in the source's 10 ms slices. The benchmark's own thread sleeps through the window, so the process's
// CPU time is the receivers'. The time column is the window; cpu_s is the CPU seconds it took.

#include "BareUdpReceiver.h"
#include "BenchmarkRatios.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSource.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace
{
constexpr double WindowSeconds = 10.0;

// The process's CPU clock sums its threads' run times as the scheduler keeps them; getrusage's split into user
// and system time may be sampled on the timer tick, far too coarse for threads that run microseconds at a time.
double ProcessCpuSeconds()
{
	timespec Time{};
	::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Time);
	return double(Time.tv_sec) + double(Time.tv_nsec) * 1e-9;
}

/** Times one window over receivers that are already waiting; Receivers only keeps them alive. */
template <typename ReceiverType> void RunWindow(benchmark::State& State, const std::vector<std::unique_ptr<ReceiverType>>& Receivers)
{
	for (auto _ : State)
	{
		// Lets every receiver reach its wait before the window opens.
		std::this_thread::sleep_for(std::chrono::milliseconds(200));
		const double CpuBefore = ProcessCpuSeconds();
		const auto Start = std::chrono::steady_clock::now();
		std::this_thread::sleep_for(std::chrono::duration<double>(WindowSeconds));
		const double Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
		const double Cpu = ProcessCpuSeconds() - CpuBefore;
		State.SetIterationTime(Wall);
		State.counters["cpu_s"] = Cpu;
		State.counters["cpu_share_per_socket"] = Cpu / Wall / double(Receivers.size());
	}
	State.SetItemsProcessed(int64(Receivers.size()));
}

void BM_BareIdle(benchmark::State& State)
{
	std::vector<std::unique_ptr<FBareUdpReceiver>> Receivers;
	for (int64 Index = 0; Index < State.range(0); ++Index)
	{
		Receivers.push_back(std::make_unique<FBareUdpReceiver>(LoopbackUdp::PickFreePort()));
		if (!Receivers.back()->IsRunning())
		{
			State.SkipWithError("cannot start a bare receiver");
			return;
		}
	}
	RunWindow(State, Receivers);
}

void BM_SourceIdle(benchmark::State& State)
{
	std::vector<std::unique_ptr<FOrvidaLiveLinkSource>> Sources;
	for (int64 Index = 0; Index < State.range(0); ++Index)
	{
		Sources.push_back(
		    std::make_unique<FOrvidaLiveLinkSource>(FIPv4Endpoint(FIPv4Address::InternalLoopback, LoopbackUdp::PickFreePort()), true, false, false));
		if (!Sources.back()->IsSourceStillValid())
		{
			State.SkipWithError("a source did not start");
			return;
		}
	}
	RunWindow(State, Sources);
}
} // namespace

BENCHMARK(BM_BareIdle)->Arg(1)->Arg(10)->ArgName("sockets")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_SourceIdle)->Arg(1)->Arg(10)->ArgName("sockets")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int ArgumentCount, char** Arguments)
{
	const auto Name = [](const char* Benchmark, int32 Sockets)
	{ return std::string(Benchmark) + "/sockets:" + std::to_string(Sockets) + "/iterations:1/manual_time"; };
	return OrvidaBenchmark::RunWithRatios(
	    ArgumentCount, Arguments,
	    {{Name("BM_SourceIdle", 1), Name("BM_BareIdle", 1), "idle CPU, one source / one bare loop (goal <= 1.1)", "cpu_s"},
	     {Name("BM_SourceIdle", 10), Name("BM_BareIdle", 10), "idle CPU, ten sources / ten bare loops (goal <= 1.1)", "cpu_s"}});
}
