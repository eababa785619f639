// How many typical camera messages a second the source takes in when sender processes blast them at it as
// fast as the system accepts them, for five seconds, against a bare poll/recvfrom receiver on a socket set up
// as the source's (the kernel's floor). Each run is one window: sent comes from the senders, received from the
// receiver (the source's stream health, which counts on arrival), decoded from the samples the source
// committed, and lost is sent minus received. The time column is the window.

#include "BareUdpReceiver.h"
#include "BenchmarkRatios.h"
#include "CameraMessages.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSource.h"
#include "UdpBlaster.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <thread>

namespace
{
constexpr double WindowSeconds = 5.0;
// Enough distinct messages that the decoder does not see one text over and over.
constexpr int32 DistinctMessages = 250;
constexpr int32 StreamRate = 25;

struct FCounts
{
	int64 Received = 0;
	int64 Decoded = 0;
};

/** Polls Read until its received count has stood still for 100 ms, at most two seconds: what was queued is drained. */
FCounts WaitForDrain(const std::function<FCounts()>& Read)
{
	FCounts Last = Read();
	for (int32 Round = 0; Round < 20; ++Round)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(100));
		const FCounts Now = Read();
		if (Now.Received == Last.Received && Now.Decoded == Last.Decoded)
		{
			return Now;
		}
		Last = Now;
	}
	return Last;
}

void RunWindow(benchmark::State& State, uint16 Port, const std::function<FCounts()>& Read)
{
	const int32 Senders = int32(State.range(0));
	const std::vector<std::string> Messages = OrvidaBenchmark::MakeCameraMessages(DistinctMessages, StreamRate);
	for (auto _ : State)
	{
		const FCounts Before = Read();
		OrvidaBenchmark::FUdpBlaster Blaster(Port, Senders, Messages, WindowSeconds);
		if (Blaster.GetProcessCount() != Senders)
		{
			State.SkipWithError("cannot fork the senders");
			return;
		}
		const int64 Sent = Blaster.Join();
		const FCounts After = WaitForDrain(Read);
		const int64 Received = After.Received - Before.Received;
		State.SetIterationTime(WindowSeconds);
		State.SetItemsProcessed(Received);
		State.counters["sent_per_s"] = double(Sent) / WindowSeconds;
		State.counters["received_per_s"] = double(Received) / WindowSeconds;
		State.counters["decoded_per_s"] = double(After.Decoded - Before.Decoded) / WindowSeconds;
		State.counters["lost_per_s"] = double(Sent - Received) / WindowSeconds;
		State.counters["lost_share"] = Sent > 0 ? double(Sent - Received) / double(Sent) : 0.0;
	}
}

void BM_BareReceiver(benchmark::State& State)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const FBareUdpReceiver Receiver(Port);
	if (!Receiver.IsRunning())
	{
		State.SkipWithError("cannot start the bare receiver");
		return;
	}
	// Nothing is decoded: the floor only receives.
	RunWindow(State, Port, [&Receiver] { return FCounts{Receiver.GetReceivedCount(), 0}; });
}

void BM_Source(benchmark::State& State)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	FOrvidaLiveLinkSource Source(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), true, false, false);
	if (!Source.IsSourceStillValid())
	{
		State.SkipWithError("the source did not start");
		return;
	}
	RunWindow(State, Port,
	          [&Source]
	          {
		          const FOrvidaStreamHealth::FSnapshot Health = Source.GetStreamHealth();
		          return FCounts{Health.Datagrams, Health.Ring.CommittedSamples};
	          });
}
} // namespace

BENCHMARK(BM_BareReceiver)->Arg(1)->Arg(4)->ArgName("senders")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_Source)->Arg(1)->Arg(4)->ArgName("senders")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int ArgumentCount, char** Arguments)
{
	const auto Name = [](const char* Benchmark, int32 Senders)
	{ return std::string(Benchmark) + "/senders:" + std::to_string(Senders) + "/iterations:1/manual_time"; };
	return OrvidaBenchmark::RunWithRatios(
	    ArgumentCount, Arguments,
	    {{Name("BM_Source", 1), Name("BM_BareReceiver", 1), "source / bare receiver, received per s, 1 sender (goal >= 0.9)", "received_per_s"},
	     {Name("BM_Source", 4), Name("BM_BareReceiver", 4), "source / bare receiver, received per s, 4 senders", "received_per_s"},
	     {Name("BM_Source", 1), Name("BM_BareReceiver", 1), "source decoded / bare received per s, 1 sender", "decoded_per_s", "received_per_s"}});
}
