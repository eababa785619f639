#include "SenderSession.h"

#include "SenderPathSource.h"
#include "SenderTestLoopback.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <thread>

TEST(SenderSession, StopFromAnotherThreadEndsALongWaitWithTheSummary)
{
	// One frame every 100 s on the real clock: the session is asleep when Stop comes, and must see it there; should it not, the count ends the session at the
	// next deadline.
	FLoopbackReceiver Receiver;
	FSenderOptions Options;
	Options.Destinations = {Receiver.GetDestination()};
	Options.Rate = {1, 100};
	Options.Count = 2;
	FSenderSession Session(Options, std::make_unique<FSenderPathSource>(FSenderPath::EKind::Orbit, Options.Rate, 0));
	std::atomic<bool> bFinished{false};
	FSenderSummary Summary;
	std::thread Runner(
	    [&]
	    {
		    Summary = Session.Run();
		    bFinished.store(true);
	    });
	EXPECT_TRUE(WaitUntil([&] { return Session.GetProgress().Datagrams == 1; }));
	Session.Stop();
	const bool bEnded = WaitUntil([&] { return bFinished.load(); });
	EXPECT_TRUE(bEnded) << "Stop not seen while the session waits for its next deadline";
	Runner.join();
	EXPECT_TRUE(Summary.bStopped);
	EXPECT_EQ(Summary.Messages, Summary.Datagrams);
	EXPECT_TRUE(Receiver.WaitFor(size_t(Summary.Datagrams)));
}
