// What it costs to hand on one datagram: the source's receive path against a bare recvfrom loop on a socket
// and thread set up the same way. Each iteration holds the receiver at a one-byte gate datagram, queues a burst
// behind it, then times only the drain, so that neither the sending nor the waking of a thread is measured.

#include "BareUdpReceiver.h"
#include "BenchmarkRatios.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <sched.h>
#include <vector>

namespace
{
// Well inside the socket's receive buffer, so that nothing is dropped and only speed is measured.
constexpr int32 BurstSize = 256;
// The size of a typical camera message.
constexpr size_t MessageSize = 218;

/** Counts what a receiver hands on; holds the receiver at a gate datagram until the benchmark releases it. */
class FDrainClock
{
public:
	/** Receiver thread: one datagram handed on. */
	void OnDatagram(int32 Size)
	{
		if (Size == 1)
		{
			bHeld.store(true);
			while (!bReleased.load())
			{
				sched_yield();
			}
			return;
		}
		Count.fetch_add(1, std::memory_order_release);
	}

	/** Benchmark thread: queues a burst behind a gate and returns how long the receiver took to drain it, or a negative value when datagrams went missing. */
	double TimeOneDrain(const LoopbackUdp::FSender& Sender, uint16 Port, const std::vector<uint8>& Message)
	{
		bHeld.store(false);
		bReleased.store(false);
		const uint8 Gate = 0;
		Sender.Send(Port, &Gate, 1);
		if (!WaitFor([this] { return bHeld.load(); }))
		{
			return -1.0;
		}
		for (int32 Index = 0; Index < BurstSize; ++Index)
		{
			Sender.Send(Port, Message.data(), Message.size());
		}
		const int64 Expected = Count.load() + BurstSize;
		const auto Start = std::chrono::steady_clock::now();
		bReleased.store(true);
		if (!WaitFor([&] { return Count.load(std::memory_order_acquire) >= Expected; }))
		{
			return -1.0;
		}
		return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
	}

private:
	template <typename ConditionType> static bool WaitFor(ConditionType&& Condition)
	{
		const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
		while (!Condition())
		{
			if (std::chrono::steady_clock::now() > Deadline)
			{
				return false;
			}
			sched_yield();
		}
		return true;
	}

	std::atomic<int64> Count{0};
	std::atomic<bool> bHeld{false};
	std::atomic<bool> bReleased{false};
};

void RunDrains(benchmark::State& State, uint16 Port, FDrainClock& Clock)
{
	const LoopbackUdp::FSender Sender;
	const std::vector<uint8> Message(MessageSize, uint8('x'));
	for (auto _ : State)
	{
		const double Seconds = Clock.TimeOneDrain(Sender, Port, Message);
		if (Seconds < 0.0)
		{
			State.SkipWithError("datagrams were lost on the loopback");
			return;
		}
		State.SetIterationTime(Seconds);
	}
	State.SetItemsProcessed(State.iterations() * BurstSize);
}

void BM_BareRecvFromLoop(benchmark::State& State)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	FDrainClock Clock;
	FBareUdpReceiver Receiver(Port, [&Clock](int32 Size) { Clock.OnDatagram(Size); });
	if (!Receiver.IsRunning())
	{
		State.SkipWithError("cannot start the bare receiver");
		return;
	}
	RunDrains(State, Port, Clock);
}

void BM_SourceReceivePath(benchmark::State& State)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	FDrainClock Clock;
	const TSharedPtr<FOrvidaLiveLinkSource> Source =
	    FOrvidaLiveLinkSourceTestAccess::MakeObserved(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port),
	                                                  [&Clock](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Data) { Clock.OnDatagram(Data->Num()); });
	if (!Source->IsSourceStillValid())
	{
		State.SkipWithError("the source did not start");
		return;
	}
	RunDrains(State, Port, Clock);
}
} // namespace

BENCHMARK(BM_BareRecvFromLoop)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_SourceReceivePath)->UseManualTime()->MinTime(1.0);

int main(int ArgumentCount, char** Arguments)
{
	return OrvidaBenchmark::RunWithRatios(
	    ArgumentCount, Arguments,
	    {{"BM_SourceReceivePath/min_time:1.000/manual_time", "BM_BareRecvFromLoop/min_time:1.000/manual_time", "source receive path / bare recvfrom loop"}});
}
