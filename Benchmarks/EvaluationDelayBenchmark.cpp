// How long after a camera message reaches the source's socket the engine's frame shows it: the delay from the
// datagram's arrival to the value the Live Link client evaluates for the engine's frame, with the source's
// evaluation mode at Latest and at Engine Time (the editor's default), at 25, 60 and 120 messages a second, the game
// thread ticking at 60 Hz.
//
// A sender thread sends typical camera messages at the rate over the loopback to a real source, each message
// carrying its index as its timecode's frame number; the source's observer stamps each arrival on the steady clock,
// before the decode. The game thread stamps the start of each tick (the engine's time for that frame), ticks the
// client (the client takes in what the source's previous pass pushed and evaluates; then the source's pass pushes
// the next frame), and asks the client for the subject's evaluated frame.
//
// That frame is a copy of one buffered frame or, in Engine Time, a blend of the two buffered frames around the
// engine's time at a weight w. The evaluated value's arrival time is defined as the same blend of the two frames'
// arrival times, (1 - w) times the first's plus w times the second's, a frame's arrival being that of the message
// whose sample it carries (found by frame number); a copied frame's is its own message's. The weight is read back
// from the evaluated frame's world time, which the client blends at the same weight between the two frames' world
// times. The delay is the tick's start minus that arrival time. The first second of each run, while the source's
// ring and the client's buffer fill, is left out.

#include "BenchmarkRatios.h"
#include "CameraMessages.h"
#include "LatencySummary.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "StandIn/LiveLinkClient.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace
{
using FClock = std::chrono::steady_clock;

constexpr int32 RunSeconds = 10;
constexpr auto WarmUp = std::chrono::seconds(1);
constexpr auto TickInterval = std::chrono::nanoseconds(1000000000 / 60);

/** Arrival stamps by message index, written by the receiver thread in arrival order (the loopback keeps the order). */
struct FArrivals
{
	explicit FArrivals(int32 Count)
	    : Stamps(size_t(Count))
	{
	}

	/** Receiver thread: the next message has arrived. */
	void OnArrival()
	{
		const int32 Index = Count.load(std::memory_order_relaxed);
		if (Index < int32(Stamps.size()))
		{
			Stamps[size_t(Index)] = FClock::now();
			Count.store(Index + 1, std::memory_order_release);
		}
	}

	/** Game thread: when the message of this frame number arrived; none for a number not arrived yet. */
	std::optional<FClock::time_point> Of(const FLiveLinkFrameDataStruct& Frame) const
	{
		const int32 FrameNumber = Frame.GetBaseData()->MetaData.SceneTime.Time.FrameNumber.Value;
		if (FrameNumber < 0 || FrameNumber >= Count.load(std::memory_order_acquire))
		{
			return std::nullopt;
		}
		return Stamps[size_t(FrameNumber)];
	}

	std::vector<FClock::time_point> Stamps;
	std::atomic<int32> Count{0};
};

/** The evaluated value's arrival time (see the top of this file); none when a frame's message is not known. */
std::optional<FClock::time_point> ArrivalOfEvaluated(const FLiveLinkFrameDataStruct& Evaluated, const TArray<FLiveLinkFrameDataStruct>& Buffered,
                                                     const FArrivals& Arrivals)
{
	if (Buffered.Num() == 0)
	{
		return std::nullopt;
	}
	const auto TimeOf = [](const FLiveLinkFrameDataStruct& Frame) { return Frame.GetBaseData()->WorldTime.GetOffsettedTime(); };
	const double Time = TimeOf(Evaluated);
	int32 First = 0;
	while (First + 1 < Buffered.Num() && TimeOf(Buffered[First + 1]) <= Time)
	{
		++First;
	}
	const int32 Second = std::min(First + 1, Buffered.Num() - 1);
	const double Span = TimeOf(Buffered[Second]) - TimeOf(Buffered[First]);
	const double Weight = Span > 0.0 ? std::clamp((Time - TimeOf(Buffered[First])) / Span, 0.0, 1.0) : 0.0;
	const std::optional<FClock::time_point> FirstArrival = Arrivals.Of(Buffered[First]);
	const std::optional<FClock::time_point> SecondArrival = Arrivals.Of(Buffered[Second]);
	if (!FirstArrival || !SecondArrival)
	{
		return std::nullopt;
	}
	return *FirstArrival + std::chrono::duration_cast<FClock::duration>((*SecondArrival - *FirstArrival) * Weight);
}

void BM_EvaluationDelay(benchmark::State& State)
{
	const ELiveLinkSourceMode Mode = State.range(0) != 0 ? ELiveLinkSourceMode::EngineTime : ELiveLinkSourceMode::Latest;
	const int32 Rate = int32(State.range(1));
	const int32 MessageCount = Rate * RunSeconds;
	const std::vector<std::string> Messages = OrvidaBenchmark::MakeCameraMessages(MessageCount, Rate);
	for (auto _ : State)
	{
		const uint16 Port = LoopbackUdp::PickFreePort();
		FArrivals Arrivals(MessageCount);
		FLiveLinkClient Client;
		const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeObserved(
		    FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), [&Arrivals](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>&) { Arrivals.OnArrival(); });
		if (!Source->IsSourceStillValid())
		{
			State.SkipWithError("the source did not start");
			return;
		}
		const FGuid SourceGuid = Client.AddSource(Source);
		Client.GetSourceSettings(SourceGuid)->Mode = Mode;
		const FLiveLinkSubjectKey SubjectKey(SourceGuid, FName("Orvida - Camera"));

		const FClock::time_point Start = FClock::now() + std::chrono::milliseconds(100);
		std::atomic<bool> bSent{false};
		std::thread Sender(
		    [&]()
		    {
			    const LoopbackUdp::FSender Socket;
			    for (int32 Index = 0; Index < MessageCount; ++Index)
			    {
				    std::this_thread::sleep_until(Start + std::chrono::nanoseconds(int64(1e9 * Index / Rate)));
				    Socket.Send(Port, Messages[size_t(Index)]);
			    }
			    bSent.store(true);
		    });

		// The game thread.
		std::vector<double> Delays;
		int64 Unknown = 0;
		FClock::time_point NextTick = FClock::now();
		while (!bSent.load())
		{
			NextTick += TickInterval;
			std::this_thread::sleep_until(NextTick);
			const FClock::time_point TickStart = FClock::now();
			Client.Tick();
			FLiveLinkSubjectFrameData Evaluated;
			if (TickStart < Start + WarmUp || !Client.EvaluateFrame_AnyThread(SubjectKey.SubjectName, ULiveLinkCameraRole::StaticClass(), Evaluated))
			{
				continue;
			}
			if (const std::optional<FClock::time_point> Arrival = ArrivalOfEvaluated(Evaluated.FrameData, Client.GetFrames(SubjectKey), Arrivals))
			{
				Delays.push_back(std::chrono::duration<double>(TickStart - *Arrival).count());
			}
			else
			{
				++Unknown;
			}
		}
		Sender.join();
		// The last datagrams may still be on their way to the receiver.
		const FClock::time_point ArrivalDeadline = FClock::now() + std::chrono::seconds(1);
		while (Arrivals.Count.load() != MessageCount && FClock::now() < ArrivalDeadline)
		{
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		}

		State.SetIterationTime(double(RunSeconds));
		const OrvidaBenchmark::FLatencySummary Summary = OrvidaBenchmark::FLatencySummary::Of(Delays);
		Summary.SetCounters(State, "delay_ms", 1e3);
		State.counters["evaluations"] = double(Summary.Count);
		State.counters["unknown"] = double(Unknown);
		if (Arrivals.Count.load() != MessageCount)
		{
			State.SkipWithError("messages went missing on the loopback");
		}
		else if (Summary.Count == 0)
		{
			State.SkipWithError("the client evaluated no frame");
		}
	}
}
} // namespace

BENCHMARK(BM_EvaluationDelay)
    ->ArgNames({"engine_time", "rate"})
    ->ArgsProduct({{0, 1}, {25, 60, 120}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

int main(int ArgumentCount, char** Arguments)
{
	std::vector<OrvidaBenchmark::FRatio> Ratios;
	for (const char* Rate : {"25", "60", "120"})
	{
		const std::string Latest = std::string("BM_EvaluationDelay/engine_time:0/rate:") + Rate + "/iterations:1/manual_time";
		const std::string EngineTime = std::string("BM_EvaluationDelay/engine_time:1/rate:") + Rate + "/iterations:1/manual_time";
		Ratios.push_back({EngineTime, Latest, std::string("median delay, Engine Time / Latest, ") + Rate + "/s", "delay_ms_median"});
		Ratios.push_back({EngineTime, Latest, std::string("p99 delay, Engine Time / Latest, ") + Rate + "/s", "delay_ms_p99"});
	}
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments, Ratios);
}
