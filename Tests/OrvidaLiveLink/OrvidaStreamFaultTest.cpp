#include "OrvidaLiveLinkSource.h"

#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "SenderImpairments.h"
#include "SenderMessageWriter.h"
#include "SenderPath.h"
#include "SoakScale.h"
#include "StandIn/LiveLinkClient.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

// Scripted streams with one fault each, sent over the loopback to a real source on a real Live Link client. The
// test clock moves one stream frame per step, so what the ring does is the same on a loaded machine; only the
// burst leaves it to the kernel how many datagrams arrive, and the checks count what arrived, never what was sent.
namespace
{
enum class EDatagramKind
{
	Camera,
	WithoutCamera,
	Unparsed,
};

/** One datagram of a script; a camera message carries its Id as Location X, so that frames name their message. */
struct FScriptDatagram
{
	int32 Sender = 0;
	std::string Bytes;
	EDatagramKind Kind = EDatagramKind::Unparsed;
	int32 Id = -1;
	int32 FrameNumber = 0;
};

/** The datagrams sent in one playout step; then the clock moves on by AdvanceMs and the client ticks once. */
struct FScriptStep
{
	std::vector<FScriptDatagram> Datagrams;
	int64 AdvanceMs = 40;
};

struct FScript
{
	std::vector<FScriptStep> Steps;
	/** Sent as fast as the socket takes them, the receiver left to catch up: the kernel may drop some. */
	bool bFlood = false;
};

/** Builds scripts one stream frame per step, giving each camera message the next id. */
class FScriptBuilder
{
public:
	/** Count frames from FirstFrame at Rate, one per step, from Sender. */
	FScriptBuilder& Run(int32 FirstFrame, int32 Count, FSenderFrameRate Rate = {}, int32 Sender = 0)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Script.Steps.push_back({{Camera(FirstFrame + Index, Rate, Sender)}, FrameMs(Rate, Index)});
		}
		return *this;
	}
	/** Steps with nothing sent, the clock running on at 25 frames a second. */
	FScriptBuilder& Pause(int32 Steps)
	{
		Script.Steps.insert(Script.Steps.end(), size_t(Steps), FScriptStep{});
		return *this;
	}
	FScriptDatagram Camera(int32 FrameNumber, FSenderFrameRate Rate = {}, int32 Sender = 0)
	{
		FSenderCameraState State = FSenderPath(FSenderPath::EKind::Orbit, Rate).Evaluate(FrameNumber);
		const int32 Id = NextId++;
		State.Location[0] = Id;
		State.FrameNumber = FrameNumber;
		State.Rate = Rate;
		return {Sender, FSenderMessageWriter::Write(State), EDatagramKind::Camera, Id, FrameNumber};
	}
	/** The step's length in whole milliseconds of the test clock, so that the steps add up to the stream's own time. */
	static int64 FrameMs(FSenderFrameRate Rate, int64 Index)
	{
		return (Rate.TimeOfFrame(Index + 1).count() / 1000000) - (Rate.TimeOfFrame(Index).count() / 1000000);
	}

	FScript Script;
	int32 NextId = 0;
};

/** What a row's run left behind, for the checks. */
struct FRunResult
{
	/** Every datagram the source handed on, in arrival order. */
	std::vector<std::string> Received;
	/** Location X of every frame the client accepted, in push order. */
	std::vector<int32> PublishedIds;
	/** The stream health after each step. */
	std::vector<FOrvidaStreamHealth::FSnapshot> HealthPerStep;
	std::vector<double> PlayoutRatePerStep;
	FOrvidaStreamHealth::FSnapshot Health;
};

/** Gaps and repeats in a sequence of frame numbers at one rate, counted as a viewer of the timecodes would. */
std::pair<int64, int64> CountTimecodeSteps(const std::vector<int32>& Frames)
{
	int64 Gaps = 0;
	int64 Repeats = 0;
	for (size_t Index = 1; Index < Frames.size(); ++Index)
	{
		Gaps += Frames[Index] > Frames[Index - 1] + 1 ? 1 : 0;
		Repeats += Frames[Index] <= Frames[Index - 1] ? 1 : 0;
	}
	return {Gaps, Repeats};
}

struct FFaultRow
{
	const char* Name;
	std::function<FScript()> MakeScript;
	/** Expected timecode gaps and repeats; none: as many as the frames that arrived imply, at one rate. */
	std::optional<std::pair<int64, int64>> TimecodeSteps;
	/** Checks of the row's own fault on what the run left. */
	std::function<void(const FRunResult&)> CheckFault;
};

void PrintTo(const FFaultRow& Row, std::ostream* Out) { *Out << Row.Name; }

constexpr int32 PlayOutSteps = 12;

int32 Scaled(int32 Count) { return Count * GetSoakScale(); }

const std::vector<FFaultRow>& FaultRows()
{
	static const std::vector<FFaultRow> Rows = {
	    {"SenderStopsAndRestarts",
	     []
	     {
		     // The application is closed for six seconds and started again: a new socket, its frames counted from 0.
		     FScriptBuilder Builder;
		     return Builder.Run(1000, Scaled(60)).Pause(150).Run(0, Scaled(60), {}, 1).Script;
	     },
	     std::pair<int64, int64>{0, 1},
	     [](const FRunResult& Result)
	     {
		     double LongestSilence = 0.0;
		     for (const FOrvidaStreamHealth::FSnapshot& Health : Result.HealthPerStep)
		     {
			     LongestSilence = std::max(LongestSilence, Health.SecondsSinceLastDatagram);
		     }
		     EXPECT_GE(LongestSilence, 6.0) << "the silence is measured on the source's clock";
		     EXPECT_GT(Result.Health.Ring.Underruns, 0);
		     EXPECT_EQ(Result.Health.RecentSenders, 1) << "the closed sender is no longer sending";
	     }},
	    {"TimecodeJumpsBackAndForward",
	     []
	     {
		     FScriptBuilder Builder;
		     return Builder.Run(100, Scaled(30)).Run(60, Scaled(30)).Run(500000, Scaled(30)).Script;
	     },
	     std::pair<int64, int64>{1, 1}, nullptr},
	    {"RateChangesTo2997AndBack",
	     []
	     {
		     FScriptBuilder Builder;
		     return Builder.Run(0, Scaled(50)).Run(60, Scaled(60), {30000, 1001}).Run(150, Scaled(50)).Script;
	     },
	     std::pair<int64, int64>{0, 0},
	     [](const FRunResult& Result)
	     {
		     const auto& Rates = Result.PlayoutRatePerStep;
		     EXPECT_NE(std::find(Rates.begin(), Rates.end(), 30000.0 / 1001.0), Rates.end()) << "the playout clock followed the stream's rate";
		     EXPECT_EQ(Rates.back(), 25.0) << "and came back with it";
	     }},
	    {"FivePercentLossAndReordering",
	     []
	     {
		     FScriptBuilder Builder;
		     FSenderImpairments Impairments({.LossPercent = 5.0, .ReorderPercent = 5.0, .Seed = 7});
		     // A held message goes out after the next one, so each datagram is looked up by its bytes.
		     std::map<std::string, FScriptDatagram> Written;
		     for (int32 Frame = 0; Frame < Scaled(600); ++Frame)
		     {
			     FScriptDatagram Message = Builder.Camera(Frame);
			     const std::string Bytes = Message.Bytes;
			     Written.emplace(Bytes, std::move(Message));
			     FScriptStep Step;
			     for (const std::string& Datagram : Impairments.Apply(Bytes).Datagrams)
			     {
				     Step.Datagrams.push_back(Written.at(Datagram));
			     }
			     Builder.Script.Steps.push_back(std::move(Step));
		     }
		     EXPECT_GT(Impairments.GetCounts().Dropped, 0);
		     EXPECT_GT(Impairments.GetCounts().Reordered, 0);
		     return Builder.Script;
	     },
	     std::nullopt, nullptr},
	    {"BurstOfTenThousand",
	     []
	     {
		     FScriptBuilder Builder;
		     FScriptStep Burst;
		     for (int32 Frame = 0; Frame < Scaled(10000); ++Frame)
		     {
			     Burst.Datagrams.push_back(Builder.Camera(Frame));
		     }
		     Builder.Script.Steps.push_back(std::move(Burst));
		     Builder.Script.bFlood = true;
		     return Builder.Script;
	     },
	     std::nullopt,
	     [](const FRunResult& Result) { EXPECT_GE(Result.Health.Ring.DroppedSamples, Result.Health.Ring.CommittedSamples - FOrvidaSampleRing::RingCapacity); }},
	    {"RandomBytesBetweenMessages",
	     []
	     {
		     FScriptBuilder Builder;
		     std::mt19937 Random(11);
		     for (int32 Frame = 0; Frame < Scaled(300); ++Frame)
		     {
			     FScriptStep Step{{Builder.Camera(Frame)}};
			     std::string Noise(1 + Random() % 600, '\0');
			     for (char& Byte : Noise)
			     {
				     Byte = char(Random());
			     }
			     Step.Datagrams.push_back({0, std::move(Noise), EDatagramKind::Unparsed});
			     if (Frame % 10 == 0)
			     {
				     Step.Datagrams.push_back({0, R"({"OVDCamera":[]})", EDatagramKind::WithoutCamera});
			     }
			     Builder.Script.Steps.push_back(std::move(Step));
		     }
		     return Builder.Script;
	     },
	     std::pair<int64, int64>{0, 0}, nullptr},
	    {"DatagramsNestedDeeperThanTheReceiverStackCanRelease",
	     []
	     {
		     // The engine's reader would parse these and release the tree recursively, on the receiver's 128 KiB stack.
		     const std::string Deep = R"({"a":)" + std::string(32000, '[') + std::string(32000, ']') + "}";
		     FScriptBuilder Builder;
		     for (int32 Frame = 0; Frame < 20; ++Frame)
		     {
			     FScriptStep Step{{Builder.Camera(Frame)}};
			     Step.Datagrams.push_back({0, Deep, EDatagramKind::Unparsed});
			     Builder.Script.Steps.push_back(std::move(Step));
		     }
		     return Builder.Script;
	     },
	     std::pair<int64, int64>{0, 0}, nullptr},
	    {"TwoSendersOnOnePort",
	     []
	     {
		     // A second application left streaming into the same port, frames far from the first's. They take turns,
		     // so that the ring gets one sample per playout frame and never has to drop one.
		     FScriptBuilder Builder;
		     for (int32 Frame = 0; Frame < Scaled(200); ++Frame)
		     {
			     Builder.Script.Steps.push_back({{Builder.Camera(Frame, {}, 0)}});
			     Builder.Script.Steps.push_back({{Builder.Camera(90000 + Frame, {}, 1)}});
		     }
		     return Builder.Script;
	     },
	     std::nullopt, [](const FRunResult& Result) { EXPECT_EQ(Result.Health.RecentSenders, 2); }},
	};
	return Rows;
}

class OrvidaStreamFaultTest : public testing::TestWithParam<FFaultRow>
{
protected:
	void SetUp() override
	{
		Port = LoopbackUdp::PickFreePort();
		Source = FOrvidaLiveLinkSourceTestAccess::MakeClocked(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), false, false, false,
		                                                      [this] { return NowMs.load(); });
		ASSERT_TRUE(Source->IsSourceStillValid());
		Source->SetDatagramTap([this](const auto& Datagram, const FIPv4Endpoint&, int64, const FIPv4Endpoint&) { Tapped.Add(*Datagram); });
		SourceGuid = Client.AddSource(Source);
		// The source pushes its static data on this tick, so that the client has taken it in before the first frame.
		Client.Tick();
		FramePushedHandle = Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda(
		    [this](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct& Frame)
		    {
			    const FLiveLinkCameraFrameData* Camera = Frame.Cast<FLiveLinkCameraFrameData>();
			    Result.PublishedIds.push_back(Camera != nullptr ? int32(Camera->Transform.GetTranslation().X) : -1);
		    }));
	}

	void TearDown() override
	{
		Client.UnregisterForFramePushed(FramePushedHandle);
		Client.RemoveSource(SourceGuid);
		Source.Reset();
	}

	/** Datagrams the decoder is done with: each ends up in exactly one of these figures. */
	int64 Decoded() const
	{
		const FOrvidaStreamHealth::FSnapshot Health = Source->GetStreamHealth();
		return Health.UnparsedDatagrams + Health.DatagramsWithoutCamera + Health.Ring.CommittedSamples;
	}

	/** After a flood: a last datagram that cannot parse, sent until the decoder has seen it, so that none before it is still queued. */
	void DrainFlood()
	{
		const int64 Unparsed = Source->GetStreamHealth().UnparsedDatagrams;
		const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
		while (Source->GetStreamHealth().UnparsedDatagrams == Unparsed && std::chrono::steady_clock::now() < Limit)
		{
			Senders[0].Send(Port, "end");
			WaitUntil([&] { return Source->GetStreamHealth().UnparsedDatagrams > Unparsed; }, std::chrono::milliseconds(100));
		}
		ASSERT_GT(Source->GetStreamHealth().UnparsedDatagrams, Unparsed);
	}

	void Step(int64 AdvanceMs)
	{
		NowMs += AdvanceMs;
		Client.Tick();
		Result.HealthPerStep.push_back(Source->GetStreamHealth());
		Result.PlayoutRatePerStep.push_back(Source->GetSampleRing().GetPlayoutRate());
	}

	void Play(const FScript& Script)
	{
		int64 Sent = 0;
		for (const FScriptStep& ScriptStep : Script.Steps)
		{
			for (const FScriptDatagram& Datagram : ScriptStep.Datagrams)
			{
				// A flood may find the socket's buffer full; the checks count what arrived.
				const bool bSent = Senders[Datagram.Sender].Send(Port, Datagram.Bytes);
				ASSERT_TRUE(bSent || Script.bFlood);
				++Sent;
			}
			if (Script.bFlood)
			{
				DrainFlood();
			}
			else
			{
				// Paced: the loopback loses nothing, so the decoder sees every datagram before the tick.
				ASSERT_TRUE(WaitUntil([&] { return Decoded() == Sent; })) << Decoded() << " of " << Sent;
			}
			Step(ScriptStep.AdvanceMs);
		}
		// Long enough to play the ring down to its newest sample.
		for (int32 Index = 0; Index < PlayOutSteps; ++Index)
		{
			Step(40);
		}
		// The client takes in what the last step pushed.
		Client.Tick();
		for (const std::vector<uint8>& Datagram : Tapped.Get())
		{
			Result.Received.emplace_back(Datagram.begin(), Datagram.end());
		}
		Result.Health = Source->GetStreamHealth();
	}

	std::atomic<int64> NowMs{1000};
	uint16 Port = 0;
	LoopbackUdp::FSender Senders[2];
	FLiveLinkClient Client;
	TSharedPtr<FOrvidaLiveLinkSource> Source;
	FGuid SourceGuid;
	FDelegateHandle FramePushedHandle;
	FDatagramLog Tapped;
	FRunResult Result;
};
} // namespace

// Faults caught: a datagram counted in two figures or in none (received = unparsed + without camera + decoded); a
// sample lost between the receiver and the publisher, or counted as dropped when it was played (committed =
// played + dropped + waiting); frames published out of the order they arrived in; the newest sample never
// played; timecode gaps and repeats miscounted across a jump, a rate change, loss, reordering or two senders;
// the silence, the underruns and the sender count of a stream that stops measured wrongly; a playout clock that
// does not follow a change of rate; a receiver that crashes or stalls on random bytes or a flood.
TEST_P(OrvidaStreamFaultTest, CountersAccountForTheStreamAndFramesKeepArrivalOrder)
{
	const FFaultRow& Row = GetParam();
	const FScript Script = Row.MakeScript();
	Play(Script);
	if (HasFatalFailure())
	{
		return;
	}

	std::map<std::string, FScriptDatagram> Scripted;
	int64 SentCount = 0;
	for (const FScriptStep& ScriptStep : Script.Steps)
	{
		for (const FScriptDatagram& Datagram : ScriptStep.Datagrams)
		{
			Scripted[Datagram.Bytes] = Datagram;
			++SentCount;
		}
	}
	int64 Unparsed = 0;
	int64 WithoutCamera = 0;
	std::map<int32, size_t> ArrivalRank;
	std::vector<int32> ArrivedFrames;
	for (const std::string& Bytes : Result.Received)
	{
		const auto Found = Scripted.find(Bytes);
		const EDatagramKind Kind = Found != Scripted.end() ? Found->second.Kind : EDatagramKind::Unparsed; // the flood's end marker
		Unparsed += Kind == EDatagramKind::Unparsed ? 1 : 0;
		WithoutCamera += Kind == EDatagramKind::WithoutCamera ? 1 : 0;
		if (Kind == EDatagramKind::Camera)
		{
			ArrivalRank.emplace(Found->second.Id, ArrivalRank.size());
			ArrivedFrames.push_back(Found->second.FrameNumber);
		}
	}
	const FOrvidaStreamHealth::FSnapshot& Health = Result.Health;
	if (!Script.bFlood)
	{
		EXPECT_EQ(int64(Result.Received.size()), SentCount);
	}

	// Every datagram is in exactly one figure.
	EXPECT_EQ(Health.Datagrams, int64(Result.Received.size()));
	EXPECT_EQ(Health.UnparsedDatagrams, Unparsed);
	EXPECT_EQ(Health.DatagramsWithoutCamera, WithoutCamera);
	EXPECT_EQ(Health.Ring.CommittedSamples, int64(ArrivedFrames.size()));
	EXPECT_EQ(Health.Datagrams, Health.UnparsedDatagrams + Health.DatagramsWithoutCamera + Health.Ring.CommittedSamples);

	// Frames in arrival order, each one a message that arrived; every sample played, dropped, or still waiting.
	ASSERT_FALSE(Result.PublishedIds.empty());
	std::vector<int32> Played;
	size_t LastRank = 0;
	for (const int32 Id : Result.PublishedIds)
	{
		const auto Rank = ArrivalRank.find(Id);
		ASSERT_NE(Rank, ArrivalRank.end()) << "frame " << Id << " was never received";
		ASSERT_GE(Rank->second, LastRank) << "frame " << Id << " published after a later arrival";
		LastRank = Rank->second;
		if (Played.empty() || Played.back() != Id)
		{
			Played.push_back(Id);
		}
	}
	EXPECT_EQ(LastRank, ArrivalRank.size() - 1) << "the newest sample was never played";
	EXPECT_EQ(Health.Ring.RingCount, 1);
	EXPECT_EQ(Health.Ring.CommittedSamples, int64(Played.size()) + Health.Ring.DroppedSamples + Health.Ring.RingCount - 1);

	const std::pair<int64, int64> Steps = Row.TimecodeSteps.value_or(CountTimecodeSteps(ArrivedFrames));
	EXPECT_EQ(Health.TimecodeGaps, Steps.first);
	EXPECT_EQ(Health.TimecodeRepeats, Steps.second);
	if (Row.CheckFault)
	{
		Row.CheckFault(Result);
	}
}

INSTANTIATE_TEST_SUITE_P(Faults, OrvidaStreamFaultTest, testing::ValuesIn(FaultRows()), [](const auto& Info) { return std::string(Info.param.Name); });
