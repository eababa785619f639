// How long a camera message takes, at 120 messages a second for ten seconds, from its send to the source's
// commit into the ring and to its frame's push into a Live Link client, against a bare poll/recvfrom loop's
// send to receive. All times are on the steady clock (CLOCK_MONOTONIC), which the ring reads too.
//
// A sender thread stamps each message just before it sends it, and sends an empty JSON object right behind it
// as a marker. The source's observer stamps each arrival, before the decode. The receiver hands the marker to
// the observer only once it has decoded and committed the message before it, so the marker's stamp is the
// commit's time, late by the marker's own receive (a microsecond or two), or by however much later it was sent
// when it was not yet queued (marker_sent_us says when it left): an upper bound, read without touching the ring's lock. The marker holds no camera
// record, so it commits nothing; the bare loop gets the same pairs. The push is stamped by the client's frame
// listener and keyed by the frame number the message carried. The client ticks every millisecond, so that the
// push latency is the playout delay the ring adds, not the tick's period. With ticking:0 nothing ticks and
// nothing is pushed: what the game thread's work does to the receive side shows.

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
#include <string_view>
#include <thread>
#include <vector>

namespace
{
using FClock = std::chrono::steady_clock;

constexpr int32 StreamRate = 120;
constexpr int32 MessageCount = StreamRate * 10;
constexpr std::string_view Marker = "{}";
constexpr auto TickInterval = std::chrono::milliseconds(1);
// Microseconds in the table.
constexpr double Microseconds = 1e6;

double SecondsBetween(FClock::time_point From, FClock::time_point To) { return std::chrono::duration<double>(To - From).count(); }

/** Stamps kept per message index; an unset stamp is the epoch. Each slot has one writer thread; they are read once the writers have ended. */
struct FStamps
{
	std::vector<FClock::time_point> Sent = std::vector<FClock::time_point>(MessageCount);
	/** When the sender had sent the marker behind each message: no commit stamp can be earlier. */
	std::vector<FClock::time_point> MarkerSent = std::vector<FClock::time_point>(MessageCount);
	std::vector<FClock::time_point> Received = std::vector<FClock::time_point>(MessageCount);
	std::vector<FClock::time_point> Committed = std::vector<FClock::time_point>(MessageCount);
	std::vector<FClock::time_point> Pushed = std::vector<FClock::time_point>(MessageCount);
	/** Messages the receiver has seen so far: the loopback keeps their order, so the next one is this index. */
	std::atomic<int32> ReceivedCount{0};

	/** Receiver thread: the next message, or the marker behind the last one, has arrived. */
	void OnReceived(int32 Size)
	{
		const FClock::time_point Now = FClock::now();
		const int32 Count = ReceivedCount.load(std::memory_order_relaxed);
		if (Size == int32(Marker.size()))
		{
			if (Count > 0 && Count <= MessageCount)
			{
				Committed[Count - 1] = Now;
			}
			return;
		}
		if (Count < MessageCount)
		{
			Received[Count] = Now;
		}
		ReceivedCount.store(Count + 1, std::memory_order_release);
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
 * Sends the messages, each with the marker behind it, at StreamRate from its own thread, stamping each send.
 * IsDone may be read on any thread; Join belongs to the thread that made the sender.
 */
class FPacedSender
{
public:
	FPacedSender(uint16 Port, FStamps& Stamps)
	    : Thread([this, Port, &Stamps] { Run(Port, Stamps); })
	{
	}
	void Join() { Thread.join(); }
	bool IsDone() const { return bDone.load(); }

private:
	void Run(uint16 Port, FStamps& Stamps)
	{
		const LoopbackUdp::FSender Sender;
		const auto Start = FClock::now() + std::chrono::milliseconds(100);
		for (int32 Index = 0; Index < MessageCount; ++Index)
		{
			std::this_thread::sleep_until(Start + std::chrono::nanoseconds(int64(1e9 * Index / StreamRate)));
			Stamps.Sent[Index] = FClock::now();
			Sender.Send(Port, Messages[Index]);
			Sender.Send(Port, Marker);
			Stamps.MarkerSent[Index] = FClock::now();
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
		const FBareUdpReceiver Receiver(Port, [&Stamps](int32 Size) { Stamps.OnReceived(Size); });
		if (!Receiver.IsRunning())
		{
			State.SkipWithError("cannot start the bare receiver");
			return;
		}
		FPacedSender Sender(Port, Stamps);
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
	const bool bTicking = State.range(0) != 0;
	for (auto _ : State)
	{
		const uint16 Port = LoopbackUdp::PickFreePort();
		FStamps Stamps;
		FLiveLinkClient Client;
		const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeObserved(
		    FIPv4Endpoint(FIPv4Address::InternalLoopback, Port),
		    [&Stamps](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Data) { Stamps.OnReceived(Data->Num()); });
		if (!Source->IsSourceStillValid())
		{
			State.SkipWithError("the source did not start");
			return;
		}
		Client.AddSource(Source);
		// Runs in the client's tick, on this thread; a frame is stamped the first time it is pushed.
		const FDelegateHandle Listener = Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda(
		    [&Stamps](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct& Frame)
		    {
			    const int32 FrameNumber = Frame.GetBaseData()->MetaData.SceneTime.Time.FrameNumber.Value;
			    if (FrameNumber >= 0 && FrameNumber < MessageCount && Stamps.Pushed[FrameNumber] == FClock::time_point())
			    {
				    Stamps.Pushed[FrameNumber] = FClock::now();
			    }
		    }));
		FPacedSender Sender(Port, Stamps);
		// The game thread: ticks until the stream has ended and the ring has had time to play out its last frames.
		auto End = FClock::time_point::max();
		while (bTicking && FClock::now() < End)
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
		Report(State, Stamps, Stamps.MarkerSent, "marker_sent_us");
		if (bTicking)
		{
			const OrvidaBenchmark::FLatencySummary Push = OrvidaBenchmark::FLatencySummary::Of(Stamps.From(Stamps.Pushed));
			Push.SetCounters(State, "push_ms", 1e3);
			Push.SetCounters(State, "push_frames", StreamRate);
			State.counters["push_missing"] = double(MessageCount - int64(Push.Count));
		}
		CheckArrivals(State, Stamps);
	}
	State.SetItemsProcessed(State.iterations() * MessageCount);
}
} // namespace

BENCHMARK(BM_BareLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_SourceLatency)->Arg(1)->Arg(0)->ArgName("ticking")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int ArgumentCount, char** Arguments)
{
	const std::string Bare = "BM_BareLatency/iterations:1/manual_time";
	const std::string Ticked = "BM_SourceLatency/ticking:1/iterations:1/manual_time";
	const std::string Unticked = "BM_SourceLatency/ticking:0/iterations:1/manual_time";
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments,
	                                      {{Ticked, Bare, "p99: source send->commit / bare send->receive", "commit_us_p99", "receive_us_p99"},
	                                       {Ticked, Bare, "median: source send->commit / bare send->receive", "commit_us_median", "receive_us_median"},
	                                       {Ticked, Bare, "p99: source send->arrival / bare send->receive", "arrival_us_p99", "receive_us_p99"},
	                                       {Unticked, Bare, "p99, no ticks: source send->commit / bare send->receive", "commit_us_p99", "receive_us_p99"},
	                                       {Unticked, Bare, "median, no ticks: source send->commit / bare", "commit_us_median", "receive_us_median"}});
}
