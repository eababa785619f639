#include "Containers/StringConv.h"
#include "StandIn/LiveLinkClient.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformRole.h"
#include "Roles/LiveLinkTransformTypes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
/** What happened to the fake sources, in order. Written on the game thread only. */
using FEventLog = std::vector<std::string>;

/** A source that records what the client does to it. */
class FFakeSource final : public ILiveLinkSource
{
public:
	FFakeSource(std::string InName, FEventLog& InEvents) : Name(std::move(InName)), Events(InEvents) {}
	~FFakeSource() override { Events.push_back(Name + " destroyed"); }

	void ReceiveClient(ILiveLinkClient* InClient, FGuid InSourceGuid) override
	{
		Client = InClient;
		Guid = InSourceGuid;
		++ReceiveClientCount;
	}
	void Update() override { Events.push_back(Name + " update"); }
	bool IsSourceStillValid() const override { return true; }
	bool RequestSourceShutdown() override
	{
		Events.push_back(Name + " shutdown");
		++ShutdownRequests;
		return ShutdownRequests > RefusedShutdowns;
	}
	FText GetSourceType() const override { return FText::FromString(FString(TEXT("Fake"))); }
	FText GetSourceMachineName() const override { return FText::FromString(FString(TEXT("localhost"))); }
	FText GetSourceStatus() const override { return FText::FromString(FString(UTF8_TO_TCHAR(Name.c_str()))); }

	std::string Name;
	FEventLog& Events;
	ILiveLinkClient* Client = nullptr;
	FGuid Guid;
	int32 ReceiveClientCount = 0;
	int32 ShutdownRequests = 0;
	/** How many shutdown requests answer false before one answers true. */
	int32 RefusedShutdowns = 0;
};

FLiveLinkStaticDataStruct MakeCameraStaticData()
{
	return FLiveLinkStaticDataStruct(FLiveLinkCameraStaticData::StaticStruct());
}

FLiveLinkFrameDataStruct MakeCameraFrame(double Time)
{
	FLiveLinkFrameDataStruct Frame(FLiveLinkCameraFrameData::StaticStruct());
	Frame.GetBaseData()->WorldTime = FLiveLinkWorldTime(Time, 0.0);
	return Frame;
}

std::vector<double> FrameTimes(const TArray<FLiveLinkFrameDataStruct>& Frames)
{
	std::vector<double> Times;
	for (const FLiveLinkFrameDataStruct& Frame : Frames)
	{
		Times.push_back(Frame.GetBaseData()->WorldTime.GetSourceTime());
	}
	return Times;
}

const FLiveLinkSubjectKey CameraKey(FGuid(1, 2, 3, 4), FName("Camera"));
} // namespace

TEST(LiveLinkClient, AddSourceHandsEachSourceTheClientAndAFreshGuid)
{
	FEventLog Events;
	FLiveLinkClient Client;
	const TSharedPtr<FFakeSource> First = MakeShared<FFakeSource>("first", Events);
	const TSharedPtr<FFakeSource> Second = MakeShared<FFakeSource>("second", Events);

	const FGuid FirstGuid = Client.AddSource(First);
	const FGuid SecondGuid = Client.AddSource(Second);

	EXPECT_TRUE(FirstGuid.IsValid());
	EXPECT_NE(FirstGuid, SecondGuid);
	EXPECT_EQ(First->ReceiveClientCount, 1);
	EXPECT_EQ(First->Client, &Client);
	EXPECT_EQ(First->Guid, FirstGuid);
	EXPECT_EQ(Second->Guid, SecondGuid);
	EXPECT_EQ(Client.GetSourceGuids(), TArray<FGuid>({FirstGuid, SecondGuid}));

	EXPECT_FALSE(Client.AddSource(nullptr).IsValid());
	EXPECT_EQ(Client.GetSourceGuids().Num(), 2);
}

TEST(LiveLinkClient, SourceQueriesAnswerForHeldSourcesOnly)
{
	FEventLog Events;
	FLiveLinkClient Client;
	const FGuid Guid = Client.AddSource(MakeShared<FFakeSource>("receiving", Events));

	EXPECT_TRUE(Client.GetSourceStatus(Guid).ToString().Equals(TEXT("receiving")));
	EXPECT_TRUE(Client.GetSourceType(Guid).ToString().Equals(TEXT("Fake")));
	EXPECT_TRUE(Client.GetSourceMachineName(Guid).ToString().Equals(TEXT("localhost")));
	EXPECT_TRUE(Client.IsSourceStillValid(Guid));

	const FGuid Unknown(9, 9, 9, 9);
	EXPECT_TRUE(Client.GetSourceStatus(Unknown).IsEmpty());
	EXPECT_TRUE(Client.GetSourceType(Unknown).IsEmpty());
	EXPECT_FALSE(Client.IsSourceStillValid(Unknown));
}

TEST(LiveLinkClient, TickUpdatesTheSourcesThenBroadcastsOnce)
{
	FEventLog Events;
	FLiveLinkClient Client;
	Client.AddSource(MakeShared<FFakeSource>("source", Events));
	Client.OnLiveLinkTicked().AddLambda([&Events]() { Events.push_back("ticked"); });

	Client.Tick();
	Client.Tick();

	EXPECT_EQ(Events, (FEventLog{"source update", "ticked", "source update", "ticked"}));
}

TEST(LiveLinkClient, FramesAreKeptNewestLastUpToTheBound)
{
	FLiveLinkClient Client;
	Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	const int32 Pushed = FLiveLinkClient::MaxFramesPerSubject + 44;
	for (int32 Index = 0; Index < Pushed; ++Index)
	{
		Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(double(Index)));
	}

	const std::vector<double> Times = FrameTimes(Client.GetFrames(CameraKey));
	ASSERT_EQ(int32(Times.size()), FLiveLinkClient::MaxFramesPerSubject);
	EXPECT_EQ(Times.front(), 44.0);
	EXPECT_EQ(Times.back(), double(Pushed - 1));
	for (size_t Index = 1; Index < Times.size(); ++Index)
	{
		ASSERT_EQ(Times[Index], Times[Index - 1] + 1.0) << Index;
	}
	EXPECT_EQ(Client.GetRefusedFrameCount(), 0);
	EXPECT_EQ(Client.GetSubjects(), TArray<FLiveLinkSubjectKey>({CameraKey}));
	EXPECT_EQ(Client.GetSubjectRole(CameraKey).Get(), ULiveLinkCameraRole::StaticClass());
}

TEST(LiveLinkClient, FramesHandedOutAreCopiesOfTheStoredOnes)
{
	FLiveLinkClient Client;
	FLiveLinkStaticDataStruct Static = MakeCameraStaticData();
	Static.Cast<FLiveLinkCameraStaticData>()->bIsFocalLengthSupported = true;
	Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(), MoveTemp(Static));
	Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(1.0));

	TArray<FLiveLinkFrameDataStruct> Frames = Client.GetFrames(CameraKey);
	Frames[0].Cast<FLiveLinkCameraFrameData>()->FieldOfView = 1.0f;
	EXPECT_EQ(Client.GetFrames(CameraKey)[0].Cast<FLiveLinkCameraFrameData>()->FieldOfView, 90.0f);

	FLiveLinkStaticDataStruct Read;
	ASSERT_TRUE(Client.GetSubjectStaticData(CameraKey, Read));
	ASSERT_NE(Read.Cast<FLiveLinkCameraStaticData>(), nullptr);
	EXPECT_TRUE(Read.Cast<FLiveLinkCameraStaticData>()->bIsFocalLengthSupported);
	EXPECT_FALSE(Client.GetSubjectStaticData(FLiveLinkSubjectKey(FGuid(), FName("Unknown")), Read));
	EXPECT_FALSE(Read.IsValid());
	EXPECT_EQ(Client.GetFrames(FLiveLinkSubjectKey(FGuid(), FName("Unknown"))).Num(), 0);
}

TEST(LiveLinkClient, StaticDataPushDropsTheSubjectsBufferedFrames)
{
	FLiveLinkClient Client;
	const FLiveLinkSubjectKey OtherKey(FGuid(1, 2, 3, 4), FName("Other"));
	Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	Client.PushSubjectStaticData_AnyThread(OtherKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	for (int32 Index = 0; Index < 3; ++Index)
	{
		Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(double(Index)));
		Client.PushSubjectFrameData_AnyThread(OtherKey, MakeCameraFrame(double(Index)));
	}

	Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	EXPECT_EQ(Client.GetFrames(CameraKey).Num(), 0);
	EXPECT_EQ(Client.GetFrames(OtherKey).Num(), 3);

	Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(7.0));
	EXPECT_EQ(FrameTimes(Client.GetFrames(CameraKey)), (std::vector<double>{7.0}));
}

TEST(LiveLinkClient, FramesThatDoNotFitTheirSubjectAreRefusedAndCounted)
{
	const FLiveLinkSubjectKey TransformKey(FGuid(1, 2, 3, 4), FName("Transform"));
	const struct
	{
		const char* Case;
		FLiveLinkSubjectKey Key;
		const UScriptStruct* Struct;
	} Rows[] = {
		{"no static data", FLiveLinkSubjectKey(FGuid(1, 2, 3, 4), FName("Unknown")), FLiveLinkCameraFrameData::StaticStruct()},
		{"a transform frame for a camera", CameraKey, FLiveLinkTransformFrameData::StaticStruct()},
		// Derived from the role's frame struct is not the role's frame struct.
		{"a camera frame for a transform", TransformKey, FLiveLinkCameraFrameData::StaticStruct()},
		{"an empty frame", CameraKey, nullptr},
	};
	FLiveLinkClient Client;
	Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	Client.PushSubjectStaticData_AnyThread(TransformKey, ULiveLinkTransformRole::StaticClass(), FLiveLinkStaticDataStruct(FLiveLinkTransformStaticData::StaticStruct()));
	int32 Heard = 0;
	Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda([&Heard](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct&) { ++Heard; }));

	int64 Expected = 0;
	for (const auto& Row : Rows)
	{
		Client.PushSubjectFrameData_AnyThread(Row.Key, FLiveLinkFrameDataStruct(Row.Struct));
		EXPECT_EQ(Client.GetRefusedFrameCount(), ++Expected) << Row.Case;
	}
	EXPECT_EQ(Client.GetFrames(CameraKey).Num(), 0);
	EXPECT_EQ(Client.GetFrames(TransformKey).Num(), 0);
	EXPECT_EQ(Heard, 0);
	EXPECT_EQ(Client.GetSubjects().Num(), 2);
}

TEST(LiveLinkClient, StaticDataThatDoesNotFitItsRoleIsRefused)
{
	const struct
	{
		const char* Case;
		FLiveLinkSubjectKey Key;
		UClass* Role;
		const UScriptStruct* Struct;
	} Rows[] = {
		{"no role", CameraKey, nullptr, FLiveLinkCameraStaticData::StaticStruct()},
		{"the abstract role", CameraKey, ULiveLinkRole::StaticClass(), FLiveLinkCameraStaticData::StaticStruct()},
		{"a class that is not a role", CameraKey, UObject::StaticClass(), FLiveLinkCameraStaticData::StaticStruct()},
		{"transform data for a camera", CameraKey, ULiveLinkCameraRole::StaticClass(), FLiveLinkTransformStaticData::StaticStruct()},
		{"no data", CameraKey, ULiveLinkCameraRole::StaticClass(), nullptr},
		{"a subject without a name", FLiveLinkSubjectKey(FGuid(1, 2, 3, 4), NAME_None), ULiveLinkCameraRole::StaticClass(), FLiveLinkCameraStaticData::StaticStruct()},
	};
	FLiveLinkClient Client;
	int64 Expected = 0;
	for (const auto& Row : Rows)
	{
		Client.PushSubjectStaticData_AnyThread(Row.Key, Row.Role, FLiveLinkStaticDataStruct(Row.Struct));
		EXPECT_EQ(Client.GetRefusedStaticDataCount(), ++Expected) << Row.Case;
		EXPECT_EQ(Client.GetSubjects().Num(), 0) << Row.Case;
	}
}

TEST(LiveLinkClient, ListenerSeesEachAcceptedFrameAfterItIsStored)
{
	FLiveLinkClient Client;
	Client.PushSubjectStaticData_AnyThread(CameraKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	std::vector<double> Heard;
	std::vector<double> StoredWhenHeard;
	Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda([&](const FLiveLinkSubjectKey& Key, const FLiveLinkFrameDataStruct& Frame) {
		EXPECT_EQ(Key, CameraKey);
		Heard.push_back(Frame.GetBaseData()->WorldTime.GetSourceTime());
		// The listener runs outside the subject lock, so it may read the client; the frame is already there.
		StoredWhenHeard.push_back(FrameTimes(Client.GetFrames(Key)).back());
	}));

	Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(1.0));
	Client.PushSubjectFrameData_AnyThread(CameraKey, MakeCameraFrame(2.0));

	EXPECT_EQ(Heard, (std::vector<double>{1.0, 2.0}));
	EXPECT_EQ(StoredWhenHeard, Heard);
}

TEST(LiveLinkClient, RemoveSourceShutsItDownAndReleasesItWithItsSubjects)
{
	FEventLog Events;
	FLiveLinkClient Client;
	TSharedPtr<FFakeSource> Removed = MakeShared<FFakeSource>("removed", Events);
	const TSharedPtr<FFakeSource> Kept = MakeShared<FFakeSource>("kept", Events);
	const FGuid RemovedGuid = Client.AddSource(Removed);
	const FGuid KeptGuid = Client.AddSource(Kept);
	const TWeakPtr<FFakeSource> RemovedWeak = Removed;
	Removed.Reset();
	const FLiveLinkSubjectKey RemovedSubject(RemovedGuid, FName("Camera"));
	const FLiveLinkSubjectKey KeptSubject(KeptGuid, FName("Camera"));
	Client.PushSubjectStaticData_AnyThread(RemovedSubject, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	Client.PushSubjectStaticData_AnyThread(KeptSubject, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());

	Client.RemoveSource(RemovedGuid);

	EXPECT_EQ(Events, (FEventLog{"removed shutdown", "removed destroyed"}));
	EXPECT_FALSE(RemovedWeak.IsValid());
	EXPECT_EQ(Client.GetSourceGuids(), TArray<FGuid>({KeptGuid}));
	EXPECT_EQ(Client.GetSubjects(), TArray<FLiveLinkSubjectKey>({KeptSubject}));

	Client.RemoveSource(RemovedGuid);
	Client.RemoveSource(FGuid(9, 9, 9, 9));
	EXPECT_EQ(Events.size(), 2u);
	EXPECT_EQ(Kept->ShutdownRequests, 0);
}

TEST(LiveLinkClient, SourceThatIsNotReadyIsAskedAgainOnEachTick)
{
	FEventLog Events;
	FLiveLinkClient Client;
	TSharedPtr<FFakeSource> Source = MakeShared<FFakeSource>("slow", Events);
	Source->RefusedShutdowns = 2;
	const FGuid Guid = Client.AddSource(Source);
	const TWeakPtr<FFakeSource> Weak = Source;
	Source.Reset();

	Client.RemoveSource(Guid);
	EXPECT_TRUE(Weak.IsValid());
	EXPECT_EQ(Client.GetSourceGuids().Num(), 0);
	Client.Tick();
	EXPECT_TRUE(Weak.IsValid());
	Client.Tick();
	EXPECT_FALSE(Weak.IsValid());
	// A source being removed is no longer updated.
	EXPECT_EQ(Events, (FEventLog{"slow shutdown", "slow shutdown", "slow shutdown", "slow destroyed"}));
}

TEST(LiveLinkClient, RemovalAskedForDuringTheTickHappensOnceTheBroadcastHasEnded)
{
	FEventLog Events;
	FLiveLinkClient Client;
	const FGuid Guid = Client.AddSource(MakeShared<FFakeSource>("source", Events));
	Client.OnLiveLinkTicked().AddLambda([&Events]() { Events.push_back("source ticked"); });
	Client.OnLiveLinkTicked().AddLambda([&]() {
		Client.RemoveSource(Guid);
		Events.push_back("removal asked");
	});

	Client.Tick();

	EXPECT_EQ(Events, (FEventLog{"source update", "source ticked", "removal asked", "source shutdown", "source destroyed"}));
	EXPECT_EQ(Client.GetSourceGuids().Num(), 0);
}

TEST(LiveLinkClient, PushesFromTwoThreadsAreAllStoredAndHeard)
{
	FLiveLinkClient Client;
	const FLiveLinkSubjectKey Keys[2] = {FLiveLinkSubjectKey(FGuid(1, 1, 1, 1), FName("Left")), FLiveLinkSubjectKey(FGuid(1, 1, 1, 1), FName("Right"))};
	for (const FLiveLinkSubjectKey& Key : Keys)
	{
		Client.PushSubjectStaticData_AnyThread(Key, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	}
	std::atomic<int32> Heard{0};
	Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda([&Heard](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct&) { Heard.fetch_add(1); }));

	const int32 FramesPerThread = 2000;
	std::atomic<bool> bPushing{true};
	std::thread Reader([&]() {
		while (bPushing.load())
		{
			for (const FLiveLinkSubjectKey& Key : Keys)
			{
				const TArray<FLiveLinkFrameDataStruct> Frames = Client.GetFrames(Key);
				ASSERT_LE(Frames.Num(), FLiveLinkClient::MaxFramesPerSubject);
			}
		}
	});
	std::vector<std::thread> Pushers;
	for (const FLiveLinkSubjectKey& Key : Keys)
	{
		Pushers.emplace_back([&Client, Key]() {
			for (int32 Index = 0; Index < FramesPerThread; ++Index)
			{
				Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(double(Index)));
			}
		});
	}
	for (std::thread& Pusher : Pushers)
	{
		Pusher.join();
	}
	bPushing.store(false);
	Reader.join();

	EXPECT_EQ(Heard.load(), 2 * FramesPerThread);
	for (const FLiveLinkSubjectKey& Key : Keys)
	{
		const std::vector<double> Times = FrameTimes(Client.GetFrames(Key));
		ASSERT_EQ(int32(Times.size()), FLiveLinkClient::MaxFramesPerSubject);
		EXPECT_EQ(Times.back(), double(FramesPerThread - 1));
		EXPECT_EQ(Times.front(), double(FramesPerThread - FLiveLinkClient::MaxFramesPerSubject));
	}
	EXPECT_EQ(Client.GetRefusedFrameCount(), 0);
}

TEST(LiveLinkClient, DestructionShutsDownAndReleasesEverySource)
{
	FEventLog Events;
	TWeakPtr<FFakeSource> Weak;
	{
		FLiveLinkClient Client;
		TSharedPtr<FFakeSource> Source = MakeShared<FFakeSource>("source", Events);
		// Even a source that never agrees goes with the client.
		Source->RefusedShutdowns = 1000;
		Client.AddSource(Source);
		Weak = Source;
	}
	EXPECT_FALSE(Weak.IsValid());
	EXPECT_EQ(Events, (FEventLog{"source shutdown", "source destroyed"}));
}
