// What the whole-host benchmarks read from the host, the sender and /proc. A parser that slips a field gives
// figures that look plausible, so these pin each field to a line in the programs' own formats.

#include "HostConsoleReading.h"
#include "ProcessUsage.h"
#include "SenderRun.h"

#include <gtest/gtest.h>

// Faults caught: a capture group miscounted, so that ring, unparsed or the published frame come from the wrong
// field; the samples the host decimated left out of those the ring overwrote.
TEST(HostConsoleReadingTest, ReadsEveryFigureOfASourceLine)
{
	const std::optional<FHostConsoleReading> Reading = ParseHostConsoleLine(
	    "127.0.0.1:40312 Receiving, received 1500 (120.0/s), samples 1499, dropped 731, rate 120/1, timecode 00:00:12:05, ring 4/6, take A 1 #3 stopped, "
	    "unparsed 1, no camera 0, foreign keys 0, gaps 0, repeats 0, underruns 2, jitter 0.40 ms, last datagram 0.0 s ago, senders 1, "
	    "decimated 600, state Decimated: 120/s into 60 ticks/s");
	ASSERT_TRUE(Reading);
	EXPECT_EQ(Reading->Endpoint, "127.0.0.1:40312");
	EXPECT_EQ(Reading->Status, "Receiving");
	EXPECT_EQ(Reading->Received, 1500);
	EXPECT_EQ(Reading->Samples, 1499);
	EXPECT_EQ(Reading->Dropped, 1331);
	EXPECT_EQ(Reading->RingCount, 4);
	EXPECT_EQ(Reading->RingCapacity, 6);
	EXPECT_EQ(Reading->Unparsed, 1);
	EXPECT_EQ(Reading->PublishedFrame, 12 * 120 + 5);
}

// Fault caught: a fractional rate counted at its exact rate rather than the whole frames a second the host prints.
TEST(HostConsoleReadingTest, CountsAFractionalRateInWholeFramesASecond)
{
	const std::optional<FHostConsoleReading> Reading = ParseHostConsoleLine(
	    "127.0.0.1:1 Waiting for data, received 2 (0.0/s), samples 2, dropped 0, rate 30000/1001, timecode 00:01:00:05, ring 1/6, take - #0 stopped, "
	    "unparsed 0, no camera 0");
	ASSERT_TRUE(Reading);
	EXPECT_EQ(Reading->PublishedFrame, 60 * 30 + 5);
}

// Fault caught: the unmatched rate groups shifting the later fields, or a start-up line read as a source's.
TEST(HostConsoleReadingTest, ReadsALineWithoutAFrameAndRefusesOtherLines)
{
	const std::optional<FHostConsoleReading> Reading = ParseHostConsoleLine(
	    "127.0.0.1:9 Device Not Found, received 0 (0.0/s), samples 0, dropped 0, rate -, timecode -, ring 0/6, take - #0 stopped, unparsed 3, no camera 0");
	ASSERT_TRUE(Reading);
	EXPECT_EQ(Reading->Status, "Device Not Found");
	EXPECT_FALSE(Reading->PublishedFrame);
	EXPECT_EQ(Reading->RingCount, 0);
	EXPECT_EQ(Reading->Unparsed, 3);
	EXPECT_FALSE(Reading->bSubjectDisabled);
	const std::optional<FHostConsoleReading> Disabled = ParseHostConsoleLine(
	    "127.0.0.1:8 Receiving, received 5 (0.0/s), samples 5, dropped 0, rate -, timecode -, ring 1/6, take - #0 stopped, unparsed 0, no camera 0, "
	    "senders 1, subject disabled, Camera 90.0\u00b0 horizontal");
	ASSERT_TRUE(Disabled);
	EXPECT_TRUE(Disabled->bSubjectDisabled);
	EXPECT_FALSE(ParseHostConsoleLine("Orvida LiveLink on host, listening on 127.0.0.1:9: Waiting for data"));
}

// Fault caught: fields counted from the first ')' of a command name that holds one.
TEST(ProcessUsageTest, AddsUserAndSystemTicksAfterTheCommandName)
{
	EXPECT_EQ(ParseStatCpuTicks("4242 (odd) name (x)) S 1 4242 4242 0 -1 4194560 900 0 0 0 37 5 0 0 20 0 3 0 1000 0 0"), 42);
	EXPECT_FALSE(ParseStatCpuTicks("4242 (short) S 1 2"));
}

// Fault caught: a field found by prefix, so that asking for VmHWM reads another Vm line.
TEST(ProcessUsageTest, ReadsTheNamedStatusField)
{
	const char* const Status = "Name:\torvida-livelink\nVmPeak:\t  400000 kB\nVmHWM:\t   23456 kB\nVmRSS:\t   21000 kB\n";
	EXPECT_EQ(ParseStatusKiB(Status, "VmHWM"), 23456);
	EXPECT_EQ(ParseStatusKiB(Status, "VmRSS"), 21000);
	EXPECT_FALSE(ParseStatusKiB(Status, "VmSwap"));
}

// Fault caught: the datagram count (every destination's) taken for the messages each source was sent.
TEST(SenderRunTest, ReadsTheClosingCount)
{
	const std::optional<FSentCount> Count =
	    ParseSentCount("orvida-send: 1500 messages in 12.5 s: 0 dropped, 0 duplicated, 0 reordered, 0 garbled on purpose; 24000 datagrams sent, 2 refused");
	ASSERT_TRUE(Count);
	EXPECT_EQ(Count->Messages, 1500);
	EXPECT_EQ(Count->Datagrams, 24000);
	EXPECT_EQ(Count->Refused, 2);
	EXPECT_FALSE(ParseSentCount("orvida-send: 10 messages sent, 120.0/s, 0.1 s elapsed, 12.4 s remaining"));
}
