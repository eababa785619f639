// How long ending a source takes, RequestSourceShutdown and the destruction that joins the receiver and closes
// the socket, with the socket idle and with a sender process flooding it, against one socket wait: a `poll`
// with the source's 10 ms timeout on an idle socket, the longest a stop request should have to wait for the
// receiver to look at it. Each iteration is one round with a fresh source, made outside the timing and left 20
// to 30 ms to settle into its wait or into the flood: the receiver's waits start with it, so a fixed settling
// time would always catch the wait at the same point. The table's time is the mean; the counters give median
// and max.

#include "BenchmarkRatios.h"
#include "CameraMessages.h"
#include "LatencySummary.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSource.h"
#include "UdpBlaster.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using FClock = std::chrono::steady_clock;

constexpr int32 Rounds = 50;
constexpr int WaitMilliseconds = 10;
// Bounds the flood should the benchmark be stopped before it asks the sender to end.
constexpr double FloodSecondsAtMost = 60.0;
// Milliseconds in the counters.
constexpr double Milliseconds = 1e3;

void ReportRounds(benchmark::State& State, const std::vector<double>& Seconds)
{
	OrvidaBenchmark::FLatencySummary::Of(Seconds).SetCounters(State, "ms", Milliseconds);
	State.SetItemsProcessed(State.iterations());
}

void BM_SocketWait(benchmark::State& State)
{
	const int Descriptor = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
	sockaddr_in Address{};
	Address.sin_family = AF_INET;
	Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	if (::bind(Descriptor, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) != 0)
	{
		::close(Descriptor);
		State.SkipWithError("cannot bind the socket");
		return;
	}
	std::vector<double> Seconds;
	for (auto _ : State)
	{
		pollfd Poll{Descriptor, POLLIN, 0};
		const auto Start = FClock::now();
		benchmark::DoNotOptimize(::poll(&Poll, 1, WaitMilliseconds));
		Seconds.push_back(std::chrono::duration<double>(FClock::now() - Start).count());
		State.SetIterationTime(Seconds.back());
	}
	::close(Descriptor);
	ReportRounds(State, Seconds);
}

/** Rounds of make, settle, then time shutdown and destruction, on Port. */
void RunRounds(benchmark::State& State, uint16 Port)
{
	// Seeded, so that every run and both benchmarks see the same settling times.
	std::mt19937 Random(1);
	std::uniform_int_distribution<int> SettleMicroseconds(20000, 20000 + WaitMilliseconds * 1000);
	std::vector<double> Seconds;
	for (auto _ : State)
	{
		auto Source = std::make_unique<FOrvidaLiveLinkSource>(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), true, false, false);
		if (!Source->IsSourceStillValid())
		{
			State.SkipWithError("the source did not start");
			return;
		}
		std::this_thread::sleep_for(std::chrono::microseconds(SettleMicroseconds(Random)));
		const auto Start = FClock::now();
		Source->RequestSourceShutdown();
		Source.reset();
		Seconds.push_back(std::chrono::duration<double>(FClock::now() - Start).count());
		State.SetIterationTime(Seconds.back());
	}
	ReportRounds(State, Seconds);
}

void BM_ShutdownIdle(benchmark::State& State) { RunRounds(State, LoopbackUdp::PickFreePort()); }

void BM_ShutdownUnderFlood(benchmark::State& State)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const auto FloodStart = FClock::now();
	OrvidaBenchmark::FUdpBlaster Flood(Port, 1, OrvidaBenchmark::MakeCameraMessages(250, 25), FloodSecondsAtMost);
	if (Flood.GetProcessCount() != 1)
	{
		State.SkipWithError("cannot fork the sender");
		return;
	}
	RunRounds(State, Port);
	Flood.RequestStop();
	const int64 Sent = Flood.Join();
	State.counters["flood_sent_per_s"] = double(Sent) / std::chrono::duration<double>(FClock::now() - FloodStart).count();
}
} // namespace

BENCHMARK(BM_SocketWait)->Iterations(Rounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShutdownIdle)->Iterations(Rounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShutdownUnderFlood)->Iterations(Rounds)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int ArgumentCount, char** Arguments)
{
	const auto Name = [](const char* Benchmark) { return std::string(Benchmark) + "/iterations:50/manual_time"; };
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments,
	                                      {{Name("BM_ShutdownIdle"), Name("BM_SocketWait"), "median: shutdown, idle / one socket wait", "ms_median"},
	                                       {Name("BM_ShutdownIdle"), Name("BM_SocketWait"), "max: shutdown, idle / one socket wait", "ms_max"},
	                                       {Name("BM_ShutdownUnderFlood"), Name("BM_SocketWait"), "median: shutdown, flooded / one socket wait", "ms_median"},
	                                       {Name("BM_ShutdownUnderFlood"), Name("BM_SocketWait"), "max: shutdown, flooded / one socket wait", "ms_max"}});
}
