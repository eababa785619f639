#include "OrvidaStreamHealth.h"

#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace
{
std::string CameraMessage(int32 Frame, int32 Rate, const std::string& Extra = "")
{
	return R"({"OVDCamera":[{"Location":[1,2,3],"Timecode":[)" + std::to_string(Frame) + "," + std::to_string(Rate) + ",1]}]" + Extra + "}";
}
} // namespace

// Every figure gets a count of its own, so that a count taken on the wrong branch, or senders counted per
// datagram, shows.
TEST(OrvidaStreamHealth, CountsWhatTwoSendersSentOverTheLoopback)
{
	struct FDatagram
	{
		const LoopbackUdp::FSender* Sender;
		std::string Text;
	};
	const LoopbackUdp::FSender First;
	const LoopbackUdp::FSender Second;
	const std::vector<FDatagram> Datagrams = {
	    {&First, CameraMessage(100, 25)},
	    {&First, CameraMessage(101, 25)},
	    {&Second, "not JSON at all"},
	    {&First, CameraMessage(103, 25)},  // a gap
	    {&Second, CameraMessage(103, 25)}, // a repeat
	    {&First, R"({"OVDCamera":[]})"},
	    {&First, CameraMessage(102, 25)}, // a step back
	    {&Second, CameraMessage(103, 25, R"(,"Take":1,"Slate":"A","Note":"")")},
	    {&Second, R"({"OVDCamera":[{"Location":[1,2,3]}])"}, // cut short
	    {&First, R"({"OVDCamera":[{"Location":[1,2,3]}]})"}, // no timecode: passed over
	    {&Second, CameraMessage(9000, 30)},                  // another rate: neither a gap nor a repeat
	    {&First, "last"},                                    // counted as unparsed only once every datagram before it has been decoded and committed
	};

	std::atomic<int64> NowMs{1000};
	const uint16 Port = LoopbackUdp::PickFreePort();
	const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeClocked(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), false,
	                                                                                              false, false, [&NowMs] { return NowMs.load(); });
	ASSERT_TRUE(Source->IsSourceStillValid());
	EXPECT_LT(Source->GetStreamHealth().SecondsSinceLastDatagram, 0.0);

	int64 Bytes = 0;
	for (const FDatagram& Datagram : Datagrams)
	{
		ASSERT_TRUE(Datagram.Sender->Send(Port, Datagram.Text));
		Bytes += int64(Datagram.Text.size());
	}
	// The datagram count moves on arrival, before the decode; only the last datagram's outcome says that the
	// receiver is done with all of them.
	ASSERT_TRUE(WaitUntil([&] { return Source->GetStreamHealth().UnparsedDatagrams == 3; }));

	// Nine playout frames: the first ends the buffering, five play the ring down to one sample, three find none after it.
	FOrvidaSampleRing& Ring = Source->GetSampleRing();
	for (int32 Frame = 1; Frame <= 9; ++Frame)
	{
		NowMs += 40;
		FOrvidaCameraSample Due;
		ASSERT_TRUE(Ring.StepPlayoutClock(Due));
	}

	const FOrvidaStreamHealth::FSnapshot Health = Source->GetStreamHealth();
	EXPECT_EQ(Health.Datagrams, 12);
	EXPECT_EQ(Health.Bytes, Bytes);
	EXPECT_EQ(Health.DatagramsWithoutCamera, 1);
	EXPECT_EQ(Health.ForeignKeys, 3);
	EXPECT_EQ(Health.TimecodeGaps, 1);
	EXPECT_EQ(Health.TimecodeRepeats, 2);
	EXPECT_GT(Health.JitterMilliseconds, 0.0) << "every datagram arrived at one instant of the test's clock, however far apart their timecodes";
	EXPECT_DOUBLE_EQ(Health.SecondsSinceLastDatagram, 0.36);
	EXPECT_EQ(Health.RecentSenders, 2);
	EXPECT_EQ(Health.Ring.CommittedSamples, 8);
	EXPECT_EQ(Health.Ring.DroppedSamples, 2);
	EXPECT_EQ(Health.Ring.Underruns, 3);

	// Five seconds after the last datagram neither sender counts as sending.
	NowMs += 5000;
	EXPECT_EQ(Source->GetStreamHealth().RecentSenders, 0);
}

// Faults caught: the gap taken from the first datagram or from the moment of reading instead of between the last
// two arrivals; a gap shown before there are two datagrams.
TEST(OrvidaStreamHealth, InterarrivalIsTheGapBetweenTheLastTwoDatagrams)
{
	std::atomic<int64> NowMs{1000};
	const uint16 Port = LoopbackUdp::PickFreePort();
	const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeClocked(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), false,
	                                                                                              false, false, [&NowMs] { return NowMs.load(); });
	const LoopbackUdp::FSender Sender;
	struct FStep
	{
		int64 AdvanceMs;
		double ExpectedMs;
	};
	// Unparsed datagrams: their count moves after the receiver is done with each, so each step waits on it.
	const FStep Steps[] = {{0, -1.0}, {40, 40.0}, {25, 25.0}, {0, 0.0}};
	int64 Sent = 0;
	for (const FStep& Step : Steps)
	{
		NowMs += Step.AdvanceMs;
		ASSERT_TRUE(Sender.Send(Port, "not a message"));
		++Sent;
		ASSERT_TRUE(WaitUntil([&] { return Source->GetStreamHealth().UnparsedDatagrams == Sent; }));
		NowMs += 500;
		EXPECT_DOUBLE_EQ(Source->GetStreamHealth().InterarrivalMilliseconds, Step.ExpectedMs) << "after datagram " << Sent;
		NowMs -= 500;
	}
}
