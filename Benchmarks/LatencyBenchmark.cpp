// How long a camera message takes, at 120 messages a second for ten seconds, from its send to the source's
// commit into the ring and to its frame's push into a Live Link client, against a bare poll/recvfrom loop's
// send to receive. All times are on the steady clock (CLOCK_MONOTONIC), which the ring reads too.
//
// A sender thread stamps each message just before it sends it. The source's observer stamps the arrival (before
// the decode); the commit is seen by the sender thread reading the ring's count every 10 us, so it is stamped
// up to 10 us late (polling closer would make the poll's lock get in the commit's way more often); the push is
// stamped by the client's frame listener and keyed by the frame number the message carried. The client ticks
// every millisecond, so that the push latency is the playout delay the ring adds, not the tick's period.

#include "BareUdpReceiver.h"
#include "BenchmarkRatios.h"
#include "CameraMessages.h"
#include "LatencySummary.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "StandIn/LiveLinkClient.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace
{
using FClock = std::chrono::steady_clock;

constexpr int32 StreamRate = 120;
constexpr int32 MessageCount = StreamRate * 10;
constexpr auto CommitPollInterval = std::chrono::microseconds(10);
// Past this the commit counts as missing; the sends after it wait for the poll, then catch up on their schedule.
constexpr auto CommitTimeout = std::chrono::milliseconds(500);
constexpr auto TickInterval = std::chrono::milliseconds(1);
// Microseconds in the table.
constexpr double Microseconds = 1e6;

double SecondsBetween(FClock::time_point From, FClock::time_point To)
{
	return std::chrono::duration<double>(To - From).count();
}

/** Stamps kept per message index; an unset stamp is the epoch. Each slot has one writer thread; they are read once the writers have ended. */
struct FStamps
{
	std::vector<FClock::time_point> Sent = std::vector<FClock::time_point>(MessageCount);
	std::vector<FClock::time_point> Received = std::vector<FClock::time_point>(MessageCount);
	std::vector<FClock::time_point> Committed = std::vector<FClock::time_point>(MessageCount);
	std::vector<FClock::time_point> Pushed = std::vector<FClock::time_point>(MessageCount);
	/** Messages the receiver has seen so far: the loopback keeps their order, so the next one is this index. */
	std::atomic<int32> ReceivedCount{0};

	/** Receiver thread: the next message has arrived. */
	void OnReceived()
	{
		const int32 Index = ReceivedCount.load(std::memory_order_relaxed);
		if (Index < MessageCount)
		{
			Received[Index] = FClock::now();
		}
		ReceivedCount.store(Index + 1, std::memory_order_release);
	}

	/** The latencies from the send to Later, for the messages Later has a stamp for. */
	std::vector<double> From(const std::vector<FClock::time_point>& Later) const
	{
		std::vector<double> Seconds;
		for (int32 Index = 0; Index < MessageCount; ++Index)
		{
			if (Later[Index] != FClock::time_point() && Sent[Index] != FClock::time_point())
			{
				Seconds.push_back(SecondsBetween(Sent[Index], Later[Index]));
			}
		}
		return Seconds;
	}
};

/**
 * Sends the messages at StreamRate from its own thread, stamping each send; after each send it calls
 * AfterSend with the message's index (on the sending thread). IsDone may be read on any thread; Join belongs to
 * the thread that made the sender.
 */
class FPacedSender
{
public:
	FPacedSender(uint16 Port, FStamps& Stamps, std::function<void(int32)> AfterSend)
		: Thread([this, Port, &Stamps, AfterSend = std::move(AfterSend)] { Run(Port, Stamps, AfterSend); })
	{
	}
	void Join() { Thread.join(); }
	bool IsDone() const { return bDone.load(); }

private:
	void Run(uint16 Port, FStamps& Stamps, const std::function<void(int32)>& AfterSend)
	{
		const LoopbackUdp::FSender Sender;
		const auto Start = FClock::now() + std::chrono::milliseconds(100);
		for (int32 Index = 0; Index < MessageCount; ++Index)
		{
			std::this_thread::sleep_until(Start + std::chrono::nanoseconds(int64(1e9 * Index / StreamRate)));
			Stamps.Sent[Index] = FClock::now();
			Sender.Send(Port, Messages[Index]);
			if (AfterSend)
			{
				AfterSend(Index);
			}
		}
		bDone.store(true);
	}

	const std::vector<std::string> Messages = OrvidaBenchmark::MakeCameraMessages(MessageCount, StreamRate);
	std::atomic<bool> bDone{false};
	std::thread Thread;
};

/** Sets the counters of the latencies to Later, in microseconds, and how many messages had no stamp there. */
OrvidaBenchmark::FLatencySummary Report(benchmark::State& State, const FStamps& Stamps, const std::vector<FClock::time_point>& Later, const char* Prefix)
{
	const OrvidaBenchmark::FLatencySummary Summary = OrvidaBenchmark::FLatencySummary::Of(Stamps.From(Later));
	Summary.SetCounters(State, Prefix, Microseconds);
	State.counters[std::string(Prefix) + "_missing"] = double(MessageCount - int64(Summary.Count));
	return Summary;
}

/** Arrivals are keyed by their order, which only holds when every message arrived. */
void CheckArrivals(benchmark::State& State, const FStamps& Stamps)
{
	if (Stamps.ReceivedCount.load() != MessageCount)
	{
		State.SkipWithError("messages went missing on the loopback");
	}
}

void BM_BareLatency(benchmark::State& State)
{
	for (auto _ : State)
	{
		const uint16 Port = LoopbackUdp::PickFreePort();
		FStamps Stamps;
		const FBareUdpReceiver Receiver(Port, [&Stamps](int32) { Stamps.OnReceived(); });
		if (!Receiver.IsRunning())
		{
			State.SkipWithError("cannot start the bare receiver");
			return;
		}
		FPacedSender Sender(Port, Stamps, {});
		Sender.Join();
		std::this_thread::sleep_for(std::chrono::milliseconds(100));
		State.SetIterationTime(double(MessageCount) / StreamRate);
		Report(State, Stamps, Stamps.Received, "receive_us");
		CheckArrivals(State, Stamps);
	}
	State.SetItemsProcessed(State.iterations() * MessageCount);
}

void BM_SourceLatency(benchmark::State& State)
{
	for (auto _ : State)
	{
		const uint16 Port = LoopbackUdp::PickFreePort();
		FStamps Stamps;
		FLiveLinkClient Client;
		const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeObserved(
			FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), [&Stamps](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>&) { Stamps.OnReceived(); });
		if (!Source->IsSourceStillValid())
		{
			State.SkipWithError("the source did not start");
			return;
		}
		Client.AddSource(Source);
		// Runs in the client's tick, on this thread; a frame is stamped the first time it is pushed.
		const FDelegateHandle Listener = Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda(
			[&Stamps](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct& Frame) {
				const int32 FrameNumber = Frame.GetBaseData()->MetaData.SceneTime.Time.FrameNumber.Value;
				if (FrameNumber >= 0 && FrameNumber < MessageCount && Stamps.Pushed[FrameNumber] == FClock::time_point())
				{
					Stamps.Pushed[FrameNumber] = FClock::now();
				}
			}));
		FOrvidaSampleRing& Ring = Source->GetSampleRing();
		FPacedSender Sender(Port, Stamps, [&Stamps, &Ring](int32 Index) {
			const auto Deadline = FClock::now() + CommitTimeout;
			auto NextPoll = FClock::now();
			while (NextPoll < Deadline)
			{
				if (Ring.GetStats().CommittedSamples > Index)
				{
					Stamps.Committed[Index] = FClock::now();
					return;
				}
				NextPoll += CommitPollInterval;
				while (FClock::now() < NextPoll)
				{
				}
			}
		});
		// The game thread: ticks until the stream has ended and the ring has had time to play out its last frames.
		auto End = FClock::time_point::max();
		while (FClock::now() < End)
		{
			Client.Tick();
			std::this_thread::sleep_for(TickInterval);
			if (End == FClock::time_point::max() && Sender.IsDone())
			{
				End = FClock::now() + std::chrono::milliseconds(200);
			}
		}
		Sender.Join();
		Client.UnregisterForFramePushed(Listener);
		State.SetIterationTime(double(MessageCount) / StreamRate);
		Report(State, Stamps, Stamps.Received, "arrival_us");
		Report(State, Stamps, Stamps.Committed, "commit_us");
		const OrvidaBenchmark::FLatencySummary Push = OrvidaBenchmark::FLatencySummary::Of(Stamps.From(Stamps.Pushed));
		Push.SetCounters(State, "push_ms", 1e3);
		Push.SetCounters(State, "push_frames", StreamRate);
		State.counters["push_missing"] = double(MessageCount - int64(Push.Count));
		CheckArrivals(State, Stamps);
	}
	State.SetItemsProcessed(State.iterations() * MessageCount);
}
} // namespace

BENCHMARK(BM_BareLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_SourceLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int ArgumentCount, char** Arguments)
{
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments,
		{{"BM_SourceLatency/iterations:1/manual_time", "BM_BareLatency/iterations:1/manual_time", "p99: source send->commit / bare send->receive", "commit_us_p99", "receive_us_p99"},
		 {"BM_SourceLatency/iterations:1/manual_time", "BM_BareLatency/iterations:1/manual_time", "median: source send->commit / bare send->receive", "commit_us_median", "receive_us_median"},
		 {"BM_SourceLatency/iterations:1/manual_time", "BM_BareLatency/iterations:1/manual_time", "p99: source send->arrival / bare send->receive", "arrival_us_p99", "receive_us_p99"}});
}
