#include "SenderImpairments.h"

#include "SenderPathSource.h"
#include "SenderSession.h"
#include "SenderTestDecoding.h"
#include "SenderTestLoopback.h"

#include <gtest/gtest.h>

namespace
{
FSenderImpairmentOptions Everything(uint64_t Seed)
{
	return {.JitterMilliseconds = 5.0, .LossPercent = 10.0, .ReorderPercent = 10.0, .DuplicatePercent = 10.0, .GarbagePercent = 10.0, .Seed = Seed};
}

std::vector<FSenderImpairments::FOutcome> Outcomes(const FSenderImpairmentOptions& Options, int32_t Count)
{
	FSenderImpairments Impairments(Options);
	std::vector<FSenderImpairments::FOutcome> Result;
	for (int32_t Index = 0; Index < Count; ++Index)
	{
		Result.push_back(Impairments.Apply("message " + std::to_string(Index)));
	}
	return Result;
}

/** Runs a session of Count path frames into a loopback receiver, with a clock that does not wait. */
struct FLoopbackRun
{
	FLoopbackReceiver Receiver;
	FRecordingClock Clock{Receiver};
	FSenderSummary Summary;

	FLoopbackRun(const FSenderImpairmentOptions& Impairments, int64_t Count)
	{
		FSenderOptions Options;
		Options.Destinations = {Receiver.GetDestination()};
		Options.Count = Count;
		Options.Impairments = Impairments;
		FSenderSession Session(Options, std::make_unique<FSenderPathSource>(FSenderPath::EKind::Orbit, Options.Rate, 0), Clock);
		Summary = Session.Run();
		Receiver.WaitFor(size_t(Summary.Datagrams));
	}
};
} // namespace

TEST(SenderImpairments, TheSameSeedTreatsTheStreamTheSameWay)
{
	const std::vector<FSenderImpairments::FOutcome> First = Outcomes(Everything(7), 400);
	EXPECT_EQ(First, Outcomes(Everything(7), 400));
	EXPECT_NE(First, Outcomes(Everything(8), 400));
}

TEST(SenderImpairments, SummaryCountsWhatTheReceiverGot)
{
	FLoopbackRun Run(Everything(3), 400);
	const FSenderSummary& Summary = Run.Summary;
	EXPECT_EQ(Summary.Messages, 400);
	for (const int64_t Count : {Summary.Impairments.Dropped, Summary.Impairments.Duplicated, Summary.Impairments.Reordered, Summary.Impairments.Garbled})
	{
		EXPECT_GT(Count, 0);
	}
	EXPECT_EQ(int64_t(Run.Receiver.Datagrams.size()), Summary.Messages - Summary.Impairments.Dropped + Summary.Impairments.Duplicated);
	EXPECT_EQ(Summary.Datagrams, int64_t(Run.Receiver.Datagrams.size()));
	// A garbled message never decodes, whatever the cut; one that is duplicated arrives garbled twice.
	int64_t Undecodable = 0;
	for (const std::string& Datagram : Run.Receiver.Datagrams)
	{
		Undecodable += !DecodeDatagram(Datagram);
	}
	EXPECT_GE(Undecodable, Summary.Impairments.Garbled);
	EXPECT_LE(Undecodable, 2 * Summary.Impairments.Garbled);
}

TEST(SenderImpairments, EachReorderedMessageArrivesRightAfterTheNext)
{
	FLoopbackRun Run({.ReorderPercent = 25.0, .Seed = 11}, 200);
	ASSERT_EQ(Run.Receiver.Datagrams.size(), 200u);
	int32_t Previous = -1;
	int64_t Descents = 0;
	std::vector<int32_t> Frames;
	for (const std::string& Datagram : Run.Receiver.Datagrams)
	{
		const std::optional<FOrvidaCameraSample> Sample = DecodeDatagram(Datagram);
		ASSERT_TRUE(Sample);
		if (Sample->Timecode[0] < Previous)
		{
			++Descents;
			EXPECT_EQ(Previous - Sample->Timecode[0], 1) << "a message held back past more than one other";
		}
		Previous = Sample->Timecode[0];
		Frames.push_back(Previous);
	}
	EXPECT_GT(Run.Summary.Impairments.Reordered, 0);
	EXPECT_EQ(Descents, Run.Summary.Impairments.Reordered);
	std::sort(Frames.begin(), Frames.end());
	for (int32_t Index = 0; Index < 200; ++Index)
	{
		ASSERT_EQ(Frames[Index], Index) << "a message lost or sent twice";
	}
}

TEST(SenderImpairments, JitterOnlyDelaysAndByNoMoreThanAsked)
{
	FLoopbackReceiver Receiver;
	FRecordingClock Clock(Receiver);
	FSenderOptions Options;
	Options.Destinations = {Receiver.GetDestination()};
	Options.Count = 100;
	Options.Impairments.JitterMilliseconds = 4.0;
	FSenderSession(Options, std::make_unique<FSenderPathSource>(FSenderPath::EKind::Static, Options.Rate, 0), Clock).Run();
	ASSERT_EQ(Clock.Deadlines.size(), 100u);
	bool bAnyLate = false;
	for (size_t Index = 0; Index < Clock.Deadlines.size(); ++Index)
	{
		const std::chrono::nanoseconds Late = Clock.Deadlines[Index] - Options.Rate.TimeOfFrame(int64_t(Index));
		EXPECT_GE(Late, std::chrono::nanoseconds(0));
		EXPECT_LE(Late, std::chrono::milliseconds(4));
		bAnyLate |= Late > std::chrono::nanoseconds(0);
	}
	EXPECT_TRUE(bAnyLate);
}
