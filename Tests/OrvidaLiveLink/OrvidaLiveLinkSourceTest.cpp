#include "OrvidaLiveLinkSource.h"

#include "LogCapture.h"
#include "LoopbackUdp.h"
#include "Misc/CommandLine.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "TestLiveLinkClient.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

namespace
{
FIPv4Endpoint LoopbackEndpoint(uint16 Port) { return FIPv4Endpoint(FIPv4Address::InternalLoopback, Port); }

std::string ToUtf8(const FText& Text) { return TCHAR_TO_UTF8(*Text.ToString()); }

std::vector<uint8> Bytes(std::string_view Text) { return std::vector<uint8>(Text.begin(), Text.end()); }

/** The port of a destroyed source is free again exactly when its socket was closed. */
bool IsPortFree(uint16 Port) { return LoopbackUdp::FExclusiveBinding(Port).IsBound(); }

void ExpectLocalisedText(const FText& Text, const char* Key, const char* Literal)
{
	EXPECT_EQ(ToUtf8(Text), Literal);
	ASSERT_TRUE(FTextInspector::GetNamespace(Text).IsSet());
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*FTextInspector::GetNamespace(Text).GetValue())), "OrvidaLiveLinkSource");
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*FTextInspector::GetKey(Text).GetValue())), Key);
}

/** Runs the test with "-nothreading" on the command line, so that no thread can be created. */
class FNoThreadingScope
{
public:
	FNoThreadingScope()
	    : Saved(FCommandLine::Get())
	{
		FCommandLine::Set(TEXT("-nothreading"));
	}
	~FNoThreadingScope() { FCommandLine::Set(*Saved); }

private:
	FString Saved;
};
} // namespace

TEST(OrvidaLiveLinkSource, ReceivingSourceAnswersTheClientsQueries)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	// The clock stands still, so that the datagram below is as recent as can be whenever the status is read.
	const TSharedPtr<FOrvidaLiveLinkSource> Source =
	    FOrvidaLiveLinkSourceTestAccess::MakeClocked(LoopbackEndpoint(Port), true, true, false, [] { return int64(1000); });

	EXPECT_TRUE(Source->IsSourceStillValid());
	ExpectLocalisedText(Source->GetSourceStatus(), "SourceStatus_WaitingForData", "Waiting for data");
	ExpectLocalisedText(Source->GetSourceType(), "OrvidaLiveLinkSourceType", "Vellacor Orvida LiveLink");
	ExpectLocalisedText(Source->GetSourceMachineName(), "OrvidaLiveLinkSourceMachineName", "localhost");
	EXPECT_FALSE(IsPortFree(Port)) << "the source's socket must hold the port";

	const LoopbackUdp::FSender Sender;
	ASSERT_TRUE(Sender.Send(Port, "any datagram"));
	ASSERT_TRUE(WaitUntil([&] { return ToUtf8(Source->GetSourceStatus()) == "Receiving"; }));
	ExpectLocalisedText(Source->GetSourceStatus(), "SourceStatus_Receiving", "Receiving");
}

struct FUnusableEndpointCase
{
	const char* Name;
	bool bPortTaken;
	FIPv4Address Address;

	friend void PrintTo(const FUnusableEndpointCase& Case, std::ostream* Out) { *Out << Case.Name; }
};

class OrvidaLiveLinkSourceUnusableEndpoint : public testing::TestWithParam<FUnusableEndpointCase>
{
};

TEST_P(OrvidaLiveLinkSourceUnusableEndpoint, StaysDeviceNotFoundWithoutThread)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const LoopbackUdp::FExclusiveBinding Holder(Port);
	ASSERT_TRUE(Holder.IsBound());
	const uint16 SourcePort = GetParam().bPortTaken ? Port : LoopbackUdp::PickFreePort();

	FLogCapture Log;
	FTestLiveLinkClient Client;
	auto Source = std::make_unique<FOrvidaLiveLinkSource>(FIPv4Endpoint(GetParam().Address, SourcePort), true, true, true);
	Source->ReceiveClient(&Client, FGuid::NewGuid());

	ExpectLocalisedText(Source->GetSourceStatus(), "SourceStatus_DeviceNotFound", "Device Not Found");
	EXPECT_FALSE(Source->IsSourceStillValid());
	EXPECT_TRUE(Source->GetReceiverThreadName().IsEmpty()) << "no receiver thread may be started";
	Client.Tick();
	Client.Tick();
	EXPECT_EQ(Client.GetStaticPushCount(), 0) << "the subject's name stays free for a source that can receive";
	EXPECT_TRUE(Source->RequestSourceShutdown());
	EXPECT_TRUE(Client.HasTickRegistrations());

	Source.reset();
	EXPECT_FALSE(Client.HasTickRegistrations()) << "nothing else removes the registration of a source without a receiver";

	int32 SocketErrors = 0;
	int32 SharingWarnings = 0;
	for (const FLogCapture::FLine& Line : Log.GetLines())
	{
		SocketErrors += Line.Category == "LogSockets" && Line.Verbosity == ELogVerbosity::Error;
		SharingWarnings += Line.Category == "ModuleLog" && Line.Verbosity == ELogVerbosity::Warning;
	}
	EXPECT_EQ(SocketErrors, 1) << "the builder writes one line of its own";
	EXPECT_EQ(SharingWarnings, 0) << "a source that bound nothing shares no port";
}

// Another program's receiver that asked for address reuse too lets the source bind, and on Linux takes the datagrams.
TEST(OrvidaLiveLinkSource, WarnsOnceWhenAnotherSocketHoldsItsPortAndStillReceives)
{
	for (const bool bHeld : {true, false})
	{
		SCOPED_TRACE(bHeld ? "held" : "free");
		const uint16 Port = LoopbackUdp::PickFreePort();
		std::optional<LoopbackUdp::FSharedBinding> Holder;
		if (bHeld)
		{
			Holder.emplace(Port);
			ASSERT_TRUE(Holder->IsBound());
		}

		FLogCapture Log;
		const FOrvidaLiveLinkSource Source(LoopbackEndpoint(Port), false, true, false);
		EXPECT_TRUE(Source.IsSourceStillValid());
		EXPECT_EQ(ToUtf8(Source.GetSourceStatus()), "Waiting for data");

		std::vector<std::string> Warnings;
		for (const FLogCapture::FLine& Line : Log.GetLines())
		{
			EXPECT_NE(Line.Verbosity, ELogVerbosity::Error) << Line.Category << ": " << Line.Text << " (the probe's refused bind is no error)";
			if (Line.Category == "ModuleLog" && Line.Verbosity == ELogVerbosity::Warning)
			{
				Warnings.push_back(Line.Text);
			}
		}
		ASSERT_EQ(Warnings.size(), bHeld ? 1u : 0u);
		if (bHeld)
		{
			EXPECT_NE(Warnings[0].find("127.0.0.1:" + std::to_string(Port)), std::string::npos) << Warnings[0];
		}
	}
}

INSTANTIATE_TEST_SUITE_P(Cases, OrvidaLiveLinkSourceUnusableEndpoint,
                         testing::Values(FUnusableEndpointCase{"PortBoundWithoutReuse", true, FIPv4Address::InternalLoopback},
                                         FUnusableEndpointCase{"AddressNotLocal", false, FIPv4Address(192, 0, 2, 1)}),
                         [](const testing::TestParamInfo<FUnusableEndpointCase>& Info) { return std::string(Info.param.Name); });

TEST(OrvidaLiveLinkSource, WithoutThreadReportsDeviceNotFoundAndStillClosesItsSocket)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	FTestLiveLinkClient Client;
	std::unique_ptr<FOrvidaLiveLinkSource> Source;
	{
		const FNoThreadingScope NoThreading;
		Source = std::make_unique<FOrvidaLiveLinkSource>(LoopbackEndpoint(Port), false, true, false);
	}
	Source->ReceiveClient(&Client, FGuid::NewGuid());

	ExpectLocalisedText(Source->GetSourceStatus(), "SourceStatus_DeviceNotFound", "Device Not Found");
	EXPECT_FALSE(Source->IsSourceStillValid());
	EXPECT_FALSE(Source->GetReceiverThreadName().IsEmpty()) << "the socket was made, so a thread was asked for";
	EXPECT_FALSE(IsPortFree(Port));
	Client.Tick();
	EXPECT_EQ(Client.GetStaticPushCount(), 0) << "a bound socket without a receiver is no source that receives";

	Source.reset();
	EXPECT_TRUE(IsPortFree(Port));
	EXPECT_FALSE(Client.HasTickRegistrations());
}

TEST(OrvidaLiveLinkSource, HandsOnEveryNonEmptyDatagramInOrderFromAnySender)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const auto Log = std::make_shared<FDatagramLog>();
	const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeLogged(LoopbackEndpoint(Port), Log);
	ASSERT_TRUE(Source->IsSourceStillValid());

	const LoopbackUdp::FSender First;
	const LoopbackUdp::FSender Second;
	std::vector<std::vector<uint8>> Expected;
	for (int32 Index = 0; Index < 40; ++Index)
	{
		const LoopbackUdp::FSender& Sender = Index % 2 == 0 ? First : Second;
		const std::string Text = "datagram " + std::to_string(Index);
		ASSERT_TRUE(Sender.Send(Port, Text));
		Expected.push_back(Bytes(Text));
		if (Index % 10 == 0)
		{
			// An empty datagram must neither be handed on nor hold up the ones behind it.
			ASSERT_TRUE(Sender.Send(Port, ""));
		}
	}

	ASSERT_TRUE(WaitUntil([&] { return Log->Num() >= Expected.size(); }));
	// Whatever was in flight has arrived by now; an extra empty hand-off would show up here.
	const LoopbackUdp::FSender Marker;
	ASSERT_TRUE(Marker.Send(Port, "end"));
	Expected.push_back(Bytes("end"));
	ASSERT_TRUE(WaitUntil([&] { return Log->Num() >= Expected.size(); }));
	EXPECT_EQ(Log->Get(), Expected);
}

TEST(OrvidaLiveLinkSource, HandsOnTheLargestDatagramWhole)
{
	constexpr size_t LargestUdpPayload = 65507;
	const uint16 Port = LoopbackUdp::PickFreePort();
	const auto Log = std::make_shared<FDatagramLog>();
	const TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeLogged(LoopbackEndpoint(Port), Log);

	std::vector<uint8> Datagram(LargestUdpPayload);
	for (size_t Index = 0; Index < Datagram.size(); ++Index)
	{
		Datagram[Index] = uint8(Index * 7 + Index / 251);
	}
	const LoopbackUdp::FSender Sender;
	ASSERT_TRUE(Sender.Send(Port, Datagram.data(), Datagram.size()));

	ASSERT_TRUE(WaitUntil([&] { return Log->Num() >= 1; }));
	ASSERT_EQ(Log->Num(), 1u);
	EXPECT_EQ(Log->Get()[0], Datagram);
}

TEST(OrvidaLiveLinkSource, ShutdownRequestStopsTheSourceButLeavesTheSocketToTheDestructor)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	FTestLiveLinkClient Client;
	auto Source = std::make_unique<FOrvidaLiveLinkSource>(LoopbackEndpoint(Port), true, true, true);
	Source->ReceiveClient(&Client, FGuid::NewGuid());
	ASSERT_TRUE(Client.HasTickRegistrations());
	Client.Tick();

	EXPECT_TRUE(Source->RequestSourceShutdown());
	EXPECT_FALSE(Source->IsSourceStillValid());
	EXPECT_EQ(ToUtf8(Source->GetSourceStatus()), "Waiting for data") << "a shutdown request leaves the status to the stream";
	EXPECT_FALSE(IsPortFree(Port)) << "a shutdown request alone does not close the socket";

	Source.reset();
	EXPECT_TRUE(IsPortFree(Port));
}

TEST(OrvidaLiveLinkSource, DestructorLeavesNoTickRegistrationWhateverTheReceiverDid)
{
	FTestLiveLinkClient Client;

	// Destroyed while receiving.
	auto Running = std::make_unique<FOrvidaLiveLinkSource>(LoopbackEndpoint(LoopbackUdp::PickFreePort()), false, true, false);
	Running->ReceiveClient(&Client, FGuid::NewGuid());
	Running.reset();
	EXPECT_FALSE(Client.HasTickRegistrations());

	// Given its client only after a stop request, when its receiver may have ended already.
	auto Stopped = std::make_unique<FOrvidaLiveLinkSource>(LoopbackEndpoint(LoopbackUdp::PickFreePort()), false, true, false);
	Stopped->RequestSourceShutdown();
	Stopped->ReceiveClient(&Client, FGuid::NewGuid());
	ASSERT_TRUE(Client.HasTickRegistrations());
	Stopped.reset();
	EXPECT_FALSE(Client.HasTickRegistrations());

	// Never given a client.
	auto Lonely = std::make_unique<FOrvidaLiveLinkSource>(LoopbackEndpoint(LoopbackUdp::PickFreePort()), false, true, false);
	Lonely.reset();
	EXPECT_FALSE(Client.HasTickRegistrations());
}

TEST(OrvidaLiveLinkSource, ThreadNamesCarryARunningNumberWithoutSeparator)
{
	FOrvidaLiveLinkSource First(LoopbackEndpoint(LoopbackUdp::PickFreePort()), false, true, false);
	FOrvidaLiveLinkSource Second(LoopbackEndpoint(LoopbackUdp::PickFreePort()), false, true, false);
	const std::string Prefix = "Vellacor Orvida Link";

	for (const FOrvidaLiveLinkSource* Source : {&First, &Second})
	{
		const std::string Name = TCHAR_TO_UTF8(*Source->GetReceiverThreadName());
		ASSERT_GT(Name.size(), Prefix.size());
		EXPECT_EQ(Name.substr(0, Prefix.size()), Prefix);
		EXPECT_EQ(Name.find_first_not_of("0123456789", Prefix.size()), std::string::npos) << Name;
	}
	EXPECT_NE(First.GetReceiverThreadName(), Second.GetReceiverThreadName());
}

// A loop that does not block in the socket wait spins a core while no camera sends. CPU time, not wall time: a
// spinning loop uses nearly all of the time that passes, however fast or busy the machine is.
TEST(OrvidaLiveLinkSource, IdleReceiverSpendsItsTimeInTheSocketWait)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	std::atomic<bool> bHaveClock{false};
	clockid_t ReceiverClock{};
	const TSharedPtr<FOrvidaLiveLinkSource> Source =
	    FOrvidaLiveLinkSourceTestAccess::MakeObserved(LoopbackEndpoint(Port),
	                                                  [&](const auto&)
	                                                  {
		                                                  if (!bHaveClock.load() && pthread_getcpuclockid(pthread_self(), &ReceiverClock) == 0)
		                                                  {
			                                                  bHaveClock.store(true);
		                                                  }
	                                                  });
	const LoopbackUdp::FSender Sender;
	ASSERT_TRUE(Sender.Send(Port, "wake"));
	ASSERT_TRUE(WaitUntil([&] { return bHaveClock.load(); }));

	const auto ReceiverCpu = [&]
	{
		timespec Now{};
		clock_gettime(ReceiverClock, &Now);
		return std::chrono::seconds(Now.tv_sec) + std::chrono::nanoseconds(Now.tv_nsec);
	};
	const int64 WaitsBefore = FOrvidaLiveLinkSourceTestAccess::GetSocketWaitCalls(*Source);
	const auto CpuBefore = ReceiverCpu();
	const auto WallBefore = std::chrono::steady_clock::now();
	// Idles for twenty socket waits, or two seconds when the loop no longer waits: either way only the share of
	// the time the receiver was on a processor is asserted.
	WaitUntil([&] { return FOrvidaLiveLinkSourceTestAccess::GetSocketWaitCalls(*Source) >= WaitsBefore + 20; }, std::chrono::seconds(2));
	const auto Cpu = ReceiverCpu() - CpuBefore;
	const auto Wall = std::chrono::steady_clock::now() - WallBefore;

	EXPECT_LT(Cpu * 5, Wall) << "the idle receiver used " << std::chrono::duration_cast<std::chrono::microseconds>(Cpu).count() << " us of CPU in "
	                         << std::chrono::duration_cast<std::chrono::microseconds>(Wall).count() << " us";
}

// Counted in socket waits rather than time, so that a slow machine cannot pass a loop that lags behind a stop:
// after the request at most one more wait begins, the one the loop was about to start when the request came.
TEST(OrvidaLiveLinkSource, ReceiverSeesAStopWithinOneSocketWait)
{
	FOrvidaLiveLinkSource Source(LoopbackEndpoint(LoopbackUdp::PickFreePort()), false, true, false);
	ASSERT_TRUE(Source.IsSourceStillValid());
	ASSERT_TRUE(WaitUntil([&] { return FOrvidaLiveLinkSourceTestAccess::GetSocketWaitCalls(Source) >= 2; }));

	Source.RequestSourceShutdown();
	const int64 WaitsAtStop = FOrvidaLiveLinkSourceTestAccess::GetSocketWaitCalls(Source);
	FOrvidaLiveLinkSourceTestAccess::WaitForReceiver(Source);

	EXPECT_LE(FOrvidaLiveLinkSourceTestAccess::GetSocketWaitCalls(Source) - WaitsAtStop, 1);
}

TEST(OrvidaLiveLinkSource, DestructorReturnsWhileASenderKeepsTheSocketBusy)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	std::atomic<int64> HandedOn{0};
	// A receiver slower than the sender keeps the socket's queue full, so the receive loop never finds it empty.
	TSharedPtr<FOrvidaLiveLinkSource> Source = FOrvidaLiveLinkSourceTestAccess::MakeObserved(LoopbackEndpoint(Port),
	                                                                                         [&HandedOn](const auto&)
	                                                                                         {
		                                                                                         HandedOn.fetch_add(1);
		                                                                                         std::this_thread::sleep_for(std::chrono::microseconds(200));
	                                                                                         });

	std::atomic<bool> bSourceGone{false};
	std::atomic<bool> bSenderGaveUp{false};
	std::thread Flood(
	    [&]
	    {
		    const LoopbackUdp::FSender Sender;
		    const std::string Message(200, 'x');
		    // Bounded: a receiver that never stops would keep this loop going until its own limit, and the test
		    // then fails on bSenderGaveUp instead of hanging.
		    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
		    while (!bSourceGone.load())
		    {
			    if (std::chrono::steady_clock::now() > Limit)
			    {
				    bSenderGaveUp.store(true);
				    return;
			    }
			    Sender.Send(Port, Message);
		    }
	    });

	ASSERT_TRUE(WaitUntil([&] { return HandedOn.load() >= 50; }));
	Source.Reset();
	bSourceGone.store(true);
	Flood.join();

	EXPECT_FALSE(bSenderGaveUp.load()) << "the destructor waited for the flood to end";
}

TEST(OrvidaLiveLinkSource, DatagramsComeOutOfTheRingAsTheSamplesTheySaid)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	int64 NowMs = 0;
	const TSharedPtr<FOrvidaLiveLinkSource> Source =
	    FOrvidaLiveLinkSourceTestAccess::MakeClocked(LoopbackEndpoint(Port), true, true, false, [&NowMs] { return NowMs; });
	FOrvidaSampleRing& Ring = Source->GetSampleRing();

	const LoopbackUdp::FSender Sender;
	for (int32 Index = 1; Index <= 4; ++Index)
	{
		const std::string Message = R"({"OVDCamera":[{"Location":[)" + std::to_string(Index) + R"(,0,0],"Lens":[0,1,2,3],"Timecode":[)" +
		                            std::to_string(100 + Index) + R"(,25,1],"Metadata":["s","slate","7"],"State":2}]})";
		ASSERT_TRUE(Sender.Send(Port, Message));
	}
	ASSERT_TRUE(WaitUntil([&] { return Ring.GetStats().CommittedSamples == 4; }));

	std::vector<float> Locations;
	for (int32 Frame = 1; Frame <= 4; ++Frame)
	{
		NowMs = Frame * 40;
		FOrvidaCameraSample Due;
		ASSERT_TRUE(Ring.StepPlayoutClock(Due));
		Locations.push_back(Due.Location[0]);
		EXPECT_EQ(Due.Timecode[0], 100 + int32(Due.Location[0]));
		EXPECT_EQ(Due.Lens[3], 3.0);
		EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Due.Metadata[1])), "slate");
		EXPECT_EQ(Due.State, 2);
	}
	EXPECT_EQ(Locations, (std::vector<float>{1, 2, 3, 4}));
}

// Faults: the tap given the source's port or the receive buffer's stale bytes instead of the datagram's and its
// sender's, the port asked for (0) instead of the one bound, a steady clock where captures need wall time, or a
// tap still called after it was cleared.
TEST(OrvidaLiveLinkSource, TapSeesEachDatagramWithItsSenderUntilCleared)
{
	struct FTapped
	{
		std::vector<uint8> Bytes;
		uint16 SenderPort;
		int64 ArrivalUnixNanoseconds;
		uint16 SourcePort;
	};
	std::mutex Lock;
	std::vector<FTapped> Tapped;
	FOrvidaLiveLinkSource Source(LoopbackEndpoint(0), false, true, false);
	const uint16 Port = Source.GetBoundEndpoint().Port;
	Source.SetDatagramTap(
	    [&](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Datagram, const FIPv4Endpoint& Sender, int64 ArrivalUnixNanoseconds,
	        const FIPv4Endpoint& SourceEndpoint)
	    {
		    std::lock_guard<std::mutex> Guard(Lock);
		    Tapped.push_back({std::vector<uint8>(Datagram->begin(), Datagram->end()), Sender.Port, ArrivalUnixNanoseconds, SourceEndpoint.Port});
	    });

	const LoopbackUdp::FSender First;
	const LoopbackUdp::FSender Second;
	ASSERT_TRUE(First.Send(Port, "a longer first datagram"));
	ASSERT_TRUE(Second.Send(Port, "second"));
	// Each datagram is counted on arrival, before the tap sees it; it is counted unparsed only after.
	ASSERT_TRUE(WaitUntil([&] { return Source.GetStreamHealth().UnparsedDatagrams == 2; }));
	Source.SetDatagramTap(nullptr);
	ASSERT_TRUE(First.Send(Port, "after the tap"));
	ASSERT_TRUE(WaitUntil([&] { return Source.GetStreamHealth().UnparsedDatagrams == 3; }));

	std::lock_guard<std::mutex> Guard(Lock);
	ASSERT_EQ(Tapped.size(), 2u);
	EXPECT_EQ(Tapped[0].Bytes, Bytes("a longer first datagram"));
	EXPECT_EQ(Tapped[0].SenderPort, First.GetPort());
	EXPECT_EQ(Tapped[1].Bytes, Bytes("second"));
	EXPECT_EQ(Tapped[1].SenderPort, Second.GetPort());
	constexpr int64 Year2020UnixNanoseconds = 1577836800LL * 1000000000LL;
	for (const FTapped& Datagram : Tapped)
	{
		EXPECT_GT(Datagram.ArrivalUnixNanoseconds, Year2020UnixNanoseconds);
		EXPECT_EQ(Datagram.SourcePort, Port);
	}
}
