#include "Editor/StreamState.h"

#include <gtest/gtest.h>

namespace
{
/** A source receiving 60 datagrams a second from one sender, clean: each row changes what its fault is about. */
FHostSourceSnapshot Clean()
{
	FHostSourceSnapshot Source;
	Source.Status = "Receiving";
	Source.Received = 600;
	Source.ReceivedPerSecond = 60.0;
	Source.SecondsSinceLastDatagram = 0.01;
	Source.RecentSenders = 1;
	Source.JitterMilliseconds = 0.4;
	return Source;
}

struct FRow
{
	const char* Fault;
	void (*Change)(FHostSourceSnapshot&);
	const char* Text;
	EHostSeverity Severity;
};

const FRow Rows[] = {
    {"a clean stream not said to be receiving, or its rate missing", [](FHostSourceSnapshot&) {}, "Receiving 60/s", EHostSeverity::Ok},
    {"a source on a multicast group, whose status names the group, judged unable to receive",
     [](FHostSourceSnapshot& S) { S.Status = "Receiving (group 239.1.2.3 on 127.0.0.1)"; }, "Receiving 60/s", EHostSeverity::Ok},
    {"a rate of 0 in the first second printed as a stream of nothing", [](FHostSourceSnapshot& S) { S.ReceivedPerSecond = 0.0; }, "Receiving",
     EHostSeverity::Ok},
    {"a source with no datagram yet read as receiving",
     [](FHostSourceSnapshot& S)
     { S.Status = "Waiting for data", S.Received = 0, S.ReceivedPerSecond = 0.0, S.SecondsSinceLastDatagram = -1.0, S.RecentSenders = 0; },
     "Waiting for data", EHostSeverity::Notice},
    {"a source that cannot bind shown as waiting", [](FHostSourceSnapshot& S) { S.Status = "Device Not Found", S.Received = 0; }, "Device Not Found",
     EHostSeverity::Error},
    {"a stopped sender still receiving by its last rate (the source says Waiting for data again)",
     [](FHostSourceSnapshot& S) { S.Status = "Waiting for data", S.SecondsSinceLastDatagram = 4.6; }, "Stopped 4 s ago", EHostSeverity::Error},
    {"a stopped sender hidden behind the two senders it had before", [](FHostSourceSnapshot& S) { S.SecondsSinceLastDatagram = 3.2, S.RecentSenders = 2; },
     "Stopped 3 s ago", EHostSeverity::Error},
    {"a pause of a second not seen", [](FHostSourceSnapshot& S) { S.Status = "Waiting for data", S.SecondsSinceLastDatagram = 1.23; }, "Late 1.2 s",
     EHostSeverity::Warning},
    {"a tick's hiccup called late", [](FHostSourceSnapshot& S) { S.SecondsSinceLastDatagram = 0.3; }, "Receiving 60/s", EHostSeverity::Ok},
    {"a second sender on the port hidden by the loss it makes",
     [](FHostSourceSnapshot& S) { S.RecentSenders = 2, S.LostFraction = 0.5, S.JitterMilliseconds = 20.0; }, "Two senders on this port", EHostSeverity::Error},
    {"loss not named, or named as a fraction", [](FHostSourceSnapshot& S) { S.LostFraction = 0.1, S.JitterMilliseconds = 15.0; }, "Losing 10 % of frames",
     EHostSeverity::Warning},
    {"a frame lost now and then reported as trouble", [](FHostSourceSnapshot& S) { S.LostFraction = 0.01; }, "Receiving 60/s", EHostSeverity::Ok},
    {"jitter not named, or named without its size", [](FHostSourceSnapshot& S) { S.JitterMilliseconds = 15.2; }, "Uneven arrivals (15 ms)",
     EHostSeverity::Notice},
    {"decimation by design reported as trouble, or its rates missing",
     [](FHostSourceSnapshot& S) { S.ReceivedPerSecond = 240.0, S.DecimatedPerSecond = 180.0; }, "Decimated: 240/s into 60 ticks/s", EHostSeverity::Ok},
    {"loss hidden behind decimation", [](FHostSourceSnapshot& S) { S.DecimatedPerSecond = 180.0, S.LostFraction = 0.05; }, "Losing 5 % of frames",
     EHostSeverity::Warning},
};
} // namespace

TEST(HostStreamState, CountsAndRatesToWordsAndSeverity)
{
	for (const FRow& Row : Rows)
	{
		SCOPED_TRACE(Row.Fault);
		FHostSourceSnapshot Source = Clean();
		Row.Change(Source);
		const FHostStateSnapshot State = FHostStreamState::Judge(Source, 60.0);
		EXPECT_EQ(State.Text, Row.Text);
		EXPECT_EQ(State.Severity, Row.Severity);
	}
}
