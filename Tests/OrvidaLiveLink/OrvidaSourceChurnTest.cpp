#include "OrvidaLiveLinkSource.h"

#include "LoopbackUdp.h"
#include "SenderMessageWriter.h"
#include "SenderPath.h"
#include "SoakScale.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/TakeRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
/** A camera moving through recording and idle spells with a new take each time, and now and then a broken datagram. */
std::vector<std::string> FloodMessages()
{
	const FSenderPath Path(FSenderPath::EKind::Orbit, {});
	std::vector<std::string> Messages;
	for (int32 Frame = 0; Frame < 400; ++Frame)
	{
		FSenderCameraState State = Path.Evaluate(Frame);
		State.FrameNumber = Frame;
		State.Scene = "Churn";
		State.Slate = "C" + std::to_string(Frame / 100);
		State.Take = std::to_string(1 + Frame / 100);
		State.State = (Frame / 100) % 2 == 0 ? FSenderCameraState::RecordingState : FSenderCameraState::IdleState;
		Messages.push_back(FSenderMessageWriter::Write(State));
		if (Frame % 7 == 0)
		{
			Messages.push_back(Messages.back().substr(0, Messages.back().size() / 2));
		}
	}
	return Messages;
}
} // namespace

// Sources made and destroyed one after another on one port, as a user does who keeps removing and adding the
// link while the camera streams, with shutdown requests arriving from another thread at any moment and the
// recorder following the stream's recording state. The sanitizer trees look for races, leaks and use after free.
// Faults caught: a socket the destructor leaves open (the next exclusive bind of the port fails, or the next
// source cannot bind); a source that publishes after a shutdown request, or after its removal (the client refuses
// a frame of a subject it no longer has); a destructor that races the receiver or the tick (TSan, ASan); a
// receiver thread or buffer never freed (LSan).
TEST(OrvidaSourceChurn, SourcesComeAndGoOnOnePortUnderAFloodAndStrayShutdowns)
{
	const int32 SourceCount = 200 * GetSoakScale();
	const uint16 Port = LoopbackUdp::PickFreePort();
	const FIPv4Endpoint Endpoint(FIPv4Address::InternalLoopback, Port);
	const std::filesystem::path TakesDirectory = std::filesystem::temp_directory_path() / ("orvida-churn-test-" + std::to_string(::getpid()));

	FLiveLinkClient Client;
	std::atomic<int64> FramesPushed{0};
	const FDelegateHandle FramePushedHandle = Client.RegisterForFramePushed(
	    FOnLiveLinkFramePushed::FDelegate::CreateLambda([&FramesPushed](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct&) { ++FramesPushed; }));
	FTakeRecorder Recorder;
	Recorder.SetTakesDirectory(FString(UTF8_TO_TCHAR(TakesDirectory.c_str())));
	Recorder.AttachToClient(Client);
	Recorder.SetCountdownSeconds(0.0f);
	Recorder.OpenPanel();

	std::atomic<bool> bDone{false};
	// Both helpers stop by themselves should the game thread hang.
	const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(120) * GetSoakScale();
	std::thread Flood(
	    [&]
	    {
		    const LoopbackUdp::FSender Sender;
		    const std::vector<std::string> Messages = FloodMessages();
		    for (size_t Index = 0; !bDone.load() && std::chrono::steady_clock::now() < Limit; ++Index)
		    {
			    Sender.Send(Port, Messages[Index % Messages.size()]);
			    if (Index % 32 == 31)
			    {
				    std::this_thread::sleep_for(std::chrono::milliseconds(1));
			    }
		    }
	    });

	/** Protects Current, which the game thread clears before it removes and destroys the source. */
	std::mutex CurrentLock;
	FOrvidaLiveLinkSource* Current = nullptr;
	std::atomic<int64> ShutdownRequests{0};
	std::thread Stopper(
	    [&]
	    {
		    std::mt19937 Random(5);
		    while (!bDone.load() && std::chrono::steady_clock::now() < Limit)
		    {
			    std::this_thread::sleep_for(std::chrono::microseconds(Random() % 4000));
			    std::lock_guard<std::mutex> Guard(CurrentLock);
			    if (Current != nullptr && Random() % 3 == 0)
			    {
				    Current->RequestSourceShutdown();
				    ++ShutdownRequests;
			    }
		    }
	    });

	std::mt19937 Random(3);
	int32 StoppedWhileTicking = 0;
	int32 SourcesThatPublished = 0;
	for (int32 Index = 0; Index < SourceCount && !testing::Test::HasFatalFailure(); ++Index)
	{
		TSharedPtr<FOrvidaLiveLinkSource> Source = MakeShareable(new FOrvidaLiveLinkSource(Endpoint, true, true, true));
		// Bound and receiving: no stray request can have reached it yet.
		ASSERT_TRUE(Source->IsSourceStillValid()) << "source " << Index;
		const FGuid SourceGuid = Client.AddSource(Source);
		{
			std::lock_guard<std::mutex> Guard(CurrentLock);
			Current = Source.Get();
		}

		const int64 FramesBefore = FramesPushed.load();
		const int32 Ticks = 1 + int32(Random() % 12);
		for (int32 Tick = 0; Tick < Ticks; ++Tick)
		{
			Client.Tick();
			Recorder.Tick(0.001f);
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		}
		SourcesThatPublished += FramesPushed.load() > FramesBefore ? 1 : 0;
		if (!Source->IsSourceStillValid())
		{
			// Seen stopped here, between ticks: no later tick may publish.
			++StoppedWhileTicking;
			// The client takes in what the last pass before the request pushed.
			Client.Tick();
			const int64 FramesAtStop = FramesPushed.load();
			Client.Tick();
			Client.Tick();
			EXPECT_EQ(FramesPushed.load(), FramesAtStop) << "source " << Index << " published after its shutdown request";
		}

		{
			std::lock_guard<std::mutex> Guard(CurrentLock);
			Current = nullptr;
		}
		Client.RemoveSource(SourceGuid);
		Source.Reset();
		Client.Tick();
		EXPECT_TRUE(LoopbackUdp::FExclusiveBinding(Port).IsBound()) << "source " << Index << " left its socket open";
	}
	bDone.store(true);
	Flood.join();
	Stopper.join();

	Recorder.StopRecording();
	Recorder.ClosePanel();
	Recorder.DetachFromClient();
	Client.UnregisterForFramePushed(FramePushedHandle);
	std::filesystem::remove_all(TakesDirectory);

	EXPECT_EQ(Client.GetRefusedFrameCount(), 0) << "a frame reached the client for a subject it had dropped";
	// The run exercised what it is for: shutdowns landed mid-life, and sources lived long enough to publish.
	EXPECT_GT(StoppedWhileTicking, 0) << ShutdownRequests.load() << " shutdown requests";
	EXPECT_GT(SourcesThatPublished, 0);
}
