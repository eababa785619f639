#include "StandIn/LiveLinkClient.h"
#include "Containers/StringConv.h"
#include "LogCapture.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformRole.h"
#include "Roles/LiveLinkTransformTypes.h"
#include "StandIn/StandInClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
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
	FFakeSource(std::string InName, FEventLog& InEvents)
	    : Name(std::move(InName))
	    , Events(InEvents)
	{
	}
	~FFakeSource() override { Events.push_back(Name + " destroyed"); }

	void ReceiveClient(ILiveLinkClient* InClient, FGuid InSourceGuid) override
	{
		Client = InClient;
		Guid = InSourceGuid;
		++ReceiveClientCount;
	}
	void InitializeSettings(ULiveLinkSourceSettings* InSettings) override
	{
		Settings = InSettings;
		bSettingsAfterClient = ReceiveClientCount == 1;
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
	ULiveLinkSourceSettings* Settings = nullptr;
	bool bSettingsAfterClient = false;
	int32 ShutdownRequests = 0;
	/** How many shutdown requests answer false before one answers true. */
	int32 RefusedShutdowns = 0;
};

FLiveLinkStaticDataStruct MakeCameraStaticData() { return FLiveLinkStaticDataStruct(FLiveLinkCameraStaticData::StaticStruct()); }

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

/** A client holding one fake source, whose camera subject Key the tests push to. */
class LiveLinkClientTest : public testing::Test
{
protected:
	void SetUp() override
	{
		Guid = Client.AddSource(MakeShared<FFakeSource>("held", Events));
		Key = FLiveLinkSubjectKey(Guid, FName("Camera"));
	}

	void PushCamera(const FLiveLinkSubjectKey& SubjectKey)
	{
		Client.PushSubjectStaticData_AnyThread(SubjectKey, ULiveLinkCameraRole::StaticClass(), MakeCameraStaticData());
	}
	/** Pushes the camera's static data and ticks, so that frames pushed from now on find the subject. */
	void MakeCamera(const FLiveLinkSubjectKey& SubjectKey)
	{
		PushCamera(SubjectKey);
		Client.Tick();
	}
	/** Calls the test back with the time of every frame the client takes in. */
	void Listen(std::vector<double>& Heard)
	{
		Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda(
		    [&Heard](const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct& Frame) { Heard.push_back(Frame.GetBaseData()->WorldTime.GetSourceTime()); }));
	}

	// Before the client, which destroys the sources that write to it.
	FEventLog Events;
	FLiveLinkClient Client;
	FGuid Guid;
	FLiveLinkSubjectKey Key;
};

/** Puts the engine clock where the test says, for the life of the guard. */
class FSteppedClock
{
public:
	FSteppedClock()
	{
		FStandInClock::SetCycleSource([this]() { return Cycles; });
	}
	~FSteppedClock() { FStandInClock::SetCycleSource(nullptr); }
	/** Engine seconds as FPlatformTime::Seconds() reads them, base included. */
	void SetSeconds(double Seconds) { Cycles = uint64((Seconds - 16777216.0) * 1e9 + 0.5); }

private:
	uint64 Cycles = 0;
};
} // namespace

TEST(LiveLinkClient, AddSourceHandsEachSourceTheClientAFreshGuidAndItsSettings)
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

	// The editor's defaults: evaluated at the engine's time from a buffer of ten frames.
	ASSERT_NE(First->Settings, nullptr);
	EXPECT_TRUE(First->bSettingsAfterClient);
	EXPECT_EQ(First->Settings, Client.GetSourceSettings(FirstGuid));
	EXPECT_NE(First->Settings, Second->Settings);
	EXPECT_EQ(First->Settings->Mode, ELiveLinkSourceMode::EngineTime);
	EXPECT_EQ(First->Settings->BufferSettings.MaxNumberOfFrameToBuffered, 10);
	EXPECT_EQ(First->Settings->BufferSettings.EngineTimeOffset, 0.0f);

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
	EXPECT_EQ(Client.GetSourceSettings(Unknown), nullptr);
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

// Faults caught: a push taken in at once instead of at the next tick; a frame queued behind its subject's new static
// data kept; a burst between two ticks kept whole, or cut to its oldest instead of its newest; something left queued.
TEST_F(LiveLinkClientTest, PushesWaitForTheNextTickAndABurstBetweenTwoTicksKeepsItsNewest)
{
	std::vector<double> Heard;
	Listen(Heard);
	PushCamera(Key);
	Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(0.5));
	EXPECT_EQ(Client.GetSubjects().Num(), 0) << "nothing is taken in before the tick";
	Client.Tick();
	EXPECT_EQ(Client.GetSubjects(), TArray<FLiveLinkSubjectKey>({Key}));
	EXPECT_TRUE(Heard.empty()) << "a frame queued behind the subject's static data goes with its older frames";

	const int32 Pushed = 200;
	for (int32 Index = 1; Index <= Pushed; ++Index)
	{
		Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(double(Index)));
	}
	Client.Tick();
	ASSERT_GE(int32(Heard.size()), FLiveLinkClient::MaxNewFrameDataPerUpdate);
	ASSERT_LE(int32(Heard.size()), FLiveLinkClient::MaxNewFrameDataPerUpdate + 1);
	EXPECT_TRUE(std::is_sorted(Heard.begin(), Heard.end()));
	EXPECT_GE(Heard.back(), double(Pushed - 1)) << "the newest frames are kept";
	EXPECT_EQ(Client.GetIgnoredPushCount(), Pushed - int64(Heard.size()));
	Heard.clear();
	Client.Tick();
	EXPECT_TRUE(Heard.empty()) << "nothing stays queued for a later tick";

	const int64 IgnoredBefore = Client.GetIgnoredPushCount();
	for (int32 Index = 0; Index < 100; ++Index)
	{
		PushCamera(FLiveLinkSubjectKey(Guid, FName(("Camera " + std::to_string(Index)).c_str())));
	}
	Client.Tick();
	// As the engine: a push that finds more than the bound queued is dropped.
	EXPECT_EQ(Client.GetSubjects().Num(), 1 + FLiveLinkClient::MaxNewStaticDataPerUpdate + 1);
	EXPECT_EQ(Client.GetIgnoredPushCount() - IgnoredBefore, 100 - (FLiveLinkClient::MaxNewStaticDataPerUpdate + 1));
}

// Faults caught: frames kept in the order they came rather than by their time; a buffer without a bound, or one that
// ignores the source's setting.
TEST_F(LiveLinkClientTest, FramesAreKeptInWorldTimeOrderUpToTheSourcesBuffer)
{
	MakeCamera(Key);
	for (const double Time : {3.0, 1.0, 2.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0})
	{
		Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(Time));
	}
	Client.Tick();
	EXPECT_EQ(FrameTimes(Client.GetFrames(Key)), (std::vector<double>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

	Client.GetSourceSettings(Guid)->BufferSettings.MaxNumberOfFrameToBuffered = 3;
	Client.Tick();
	EXPECT_EQ(FrameTimes(Client.GetFrames(Key)), (std::vector<double>{10, 11, 12}));
	EXPECT_EQ(Client.GetRefusedFrameCount(), 0);
	EXPECT_EQ(Client.GetSubjectRole(Key).Get(), ULiveLinkCameraRole::StaticClass());
}

TEST_F(LiveLinkClientTest, FramesHandedOutAreCopiesOfTheStoredOnes)
{
	FLiveLinkStaticDataStruct Static = MakeCameraStaticData();
	Static.Cast<FLiveLinkCameraStaticData>()->bIsFocalLengthSupported = true;
	Client.PushSubjectStaticData_AnyThread(Key, ULiveLinkCameraRole::StaticClass(), MoveTemp(Static));
	Client.Tick();
	Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(1.0));
	Client.Tick();

	TArray<FLiveLinkFrameDataStruct> Frames = Client.GetFrames(Key);
	ASSERT_EQ(Frames.Num(), 1);
	Frames[0].Cast<FLiveLinkCameraFrameData>()->FieldOfView = 1.0f;
	EXPECT_EQ(Client.GetFrames(Key)[0].Cast<FLiveLinkCameraFrameData>()->FieldOfView, 90.0f);

	FLiveLinkStaticDataStruct Read;
	ASSERT_TRUE(Client.GetSubjectStaticData(Key, Read));
	ASSERT_NE(Read.Cast<FLiveLinkCameraStaticData>(), nullptr);
	EXPECT_TRUE(Read.Cast<FLiveLinkCameraStaticData>()->bIsFocalLengthSupported);
	EXPECT_FALSE(Client.GetSubjectStaticData(FLiveLinkSubjectKey(FGuid(), FName("Unknown")), Read));
	EXPECT_FALSE(Read.IsValid());
	EXPECT_EQ(Client.GetFrames(FLiveLinkSubjectKey(FGuid(), FName("Unknown"))).Num(), 0);
}

TEST_F(LiveLinkClientTest, StaticDataDropsTheSubjectsBufferedAndQueuedFrames)
{
	const FLiveLinkSubjectKey OtherKey(Guid, FName("Other"));
	MakeCamera(Key);
	MakeCamera(OtherKey);
	for (int32 Index = 0; Index < 3; ++Index)
	{
		Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(double(Index)));
		Client.PushSubjectFrameData_AnyThread(OtherKey, MakeCameraFrame(double(Index)));
	}
	Client.Tick();

	// The frame is queued before the static data, and still goes with it.
	Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(6.0));
	PushCamera(Key);
	Client.Tick();
	EXPECT_EQ(Client.GetFrames(Key).Num(), 0);
	EXPECT_EQ(Client.GetFrames(OtherKey).Num(), 3);

	Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(7.0));
	Client.Tick();
	EXPECT_EQ(FrameTimes(Client.GetFrames(Key)), (std::vector<double>{7.0}));
}

TEST_F(LiveLinkClientTest, FramesThatDoNotFitTheirSubjectAreRefusedAndCounted)
{
	const FLiveLinkSubjectKey TransformKey(Guid, FName("Transform"));
	const struct
	{
		const char* Case;
		FLiveLinkSubjectKey Key;
		const UScriptStruct* Struct;
	} Rows[] = {
	    {"no static data", FLiveLinkSubjectKey(Guid, FName("Unknown")), FLiveLinkCameraFrameData::StaticStruct()},
	    {"a transform frame for a camera", Key, FLiveLinkTransformFrameData::StaticStruct()},
	    // Derived from the role's frame struct is not the role's frame struct.
	    {"a camera frame for a transform", TransformKey, FLiveLinkCameraFrameData::StaticStruct()},
	    {"an empty frame", Key, nullptr},
	};
	PushCamera(Key);
	Client.PushSubjectStaticData_AnyThread(TransformKey, ULiveLinkTransformRole::StaticClass(),
	                                       FLiveLinkStaticDataStruct(FLiveLinkTransformStaticData::StaticStruct()));
	Client.Tick();
	std::vector<double> Heard;
	Listen(Heard);

	int64 Expected = 0;
	for (const auto& Row : Rows)
	{
		Client.PushSubjectFrameData_AnyThread(Row.Key, FLiveLinkFrameDataStruct(Row.Struct));
		Client.Tick();
		EXPECT_EQ(Client.GetRefusedFrameCount(), ++Expected) << Row.Case;
	}
	EXPECT_EQ(Client.GetFrames(Key).Num(), 0);
	EXPECT_EQ(Client.GetFrames(TransformKey).Num(), 0);
	EXPECT_TRUE(Heard.empty());
	EXPECT_EQ(Client.GetSubjects().Num(), 2);
}

TEST_F(LiveLinkClientTest, StaticDataThatDoesNotFitItsRoleIsRefused)
{
	const struct
	{
		const char* Case;
		FLiveLinkSubjectKey Key;
		UClass* Role;
		const UScriptStruct* Struct;
	} Rows[] = {
	    {"no role", Key, nullptr, FLiveLinkCameraStaticData::StaticStruct()},
	    {"the abstract role", Key, ULiveLinkRole::StaticClass(), FLiveLinkCameraStaticData::StaticStruct()},
	    {"a class that is not a role", Key, UObject::StaticClass(), FLiveLinkCameraStaticData::StaticStruct()},
	    {"transform data for a camera", Key, ULiveLinkCameraRole::StaticClass(), FLiveLinkTransformStaticData::StaticStruct()},
	    {"no data", Key, ULiveLinkCameraRole::StaticClass(), nullptr},
	    {"a subject without a name", FLiveLinkSubjectKey(Guid, NAME_None), ULiveLinkCameraRole::StaticClass(), FLiveLinkCameraStaticData::StaticStruct()},
	};
	int64 Expected = 0;
	for (const auto& Row : Rows)
	{
		Client.PushSubjectStaticData_AnyThread(Row.Key, Row.Role, FLiveLinkStaticDataStruct(Row.Struct));
		Client.Tick();
		EXPECT_EQ(Client.GetRefusedStaticDataCount(), ++Expected) << Row.Case;
		EXPECT_EQ(Client.GetSubjects().Num(), 0) << Row.Case;
	}
}

// Faults caught: pushes for an unknown or removed source making a subject, or a warning logged for each.
TEST_F(LiveLinkClientTest, PushesForASourceTheClientDoesNotHoldAreIgnoredWithoutAWord)
{
	const FLogCapture Log;
	const FGuid Removed = Client.AddSource(MakeShared<FFakeSource>("removed", Events));
	Client.RemoveSource(Removed);
	for (const FGuid& Source : {FGuid(9, 9, 9, 9), Removed})
	{
		const FLiveLinkSubjectKey Foreign(Source, FName("Camera"));
		MakeCamera(Foreign);
		Client.PushSubjectFrameData_AnyThread(Foreign, MakeCameraFrame(1.0));
		Client.Tick();
	}
	EXPECT_EQ(Client.GetSubjects().Num(), 0);
	EXPECT_EQ(Client.GetIgnoredPushCount(), 4);
	EXPECT_EQ(Client.GetRefusedFrameCount() + Client.GetRefusedStaticDataCount(), 0);
	for (const FLogCapture::FLine& Line : Log.GetLines())
	{
		EXPECT_NE(Line.Category, "LogLiveLink") << Line.Text;
	}
}

// Faults caught: a second subject of a name enabled beside the first; its frames kept; removing the enabled one
// enabling another; a new subject not enabled once the name is free; enabling one leaving another of its name on.
TEST_F(LiveLinkClientTest, OnlyOneSubjectOfANameIsEnabled)
{
	const FGuid SecondGuid = Client.AddSource(MakeShared<FFakeSource>("second", Events));
	const FGuid ThirdGuid = Client.AddSource(MakeShared<FFakeSource>("third", Events));
	const FLiveLinkSubjectKey First = Key;
	const FLiveLinkSubjectKey Second(SecondGuid, FName("Camera"));
	const FLiveLinkSubjectKey Third(ThirdGuid, FName("Camera"));
	const FLiveLinkSubjectKey OtherName(SecondGuid, FName("Other"));
	const auto EvaluatedTime = [this]()
	{
		FLiveLinkSubjectFrameData Evaluated;
		return Client.EvaluateFrame_AnyThread(FName("Camera"), ULiveLinkCameraRole::StaticClass(), Evaluated)
		           ? Evaluated.FrameData.GetBaseData()->WorldTime.GetSourceTime()
		           : -1.0;
	};
	const struct
	{
		const char* Step;
		std::function<void()> Do;
		bool bFirst, bSecond, bThird;
		/** The source time of the frame evaluated for the name; -1 for none. */
		double Evaluated;
	} Steps[] = {
	    {"the first of the name is enabled", [&] { MakeCamera(First); }, true, false, false, -1.0},
	    {"a second of the name is not",
	     [&]
	     {
		     MakeCamera(Second);
		     MakeCamera(OtherName);
	     },
	     true, false, false, -1.0},
	    {"frames of the disabled one are dropped",
	     [&]
	     {
		     Client.PushSubjectFrameData_AnyThread(First, MakeCameraFrame(1.0));
		     Client.PushSubjectFrameData_AnyThread(Second, MakeCameraFrame(2.0));
		     Client.Tick();
	     },
	     true, false, false, 1.0},
	    {"removing the enabled one enables none",
	     [&]
	     {
		     Client.RemoveSource(Guid);
		     Client.Tick();
	     },
	     false, false, false, -1.0},
	    {"a new subject takes the free name", [&] { MakeCamera(Third); }, false, false, true, -1.0},
	    {"enabling one disables the other",
	     [&]
	     {
		     Client.SetSubjectEnabled(Second, true);
		     Client.PushSubjectFrameData_AnyThread(Second, MakeCameraFrame(3.0));
		     Client.Tick();
	     },
	     false, true, false, 3.0},
	    {"disabling leaves the name without one",
	     [&]
	     {
		     Client.SetSubjectEnabled(Second, false);
		     Client.Tick();
	     },
	     false, false, false, -1.0},
	};
	for (const auto& Step : Steps)
	{
		Step.Do();
		EXPECT_EQ(Client.IsSubjectEnabled(First, false), Step.bFirst) << Step.Step;
		EXPECT_EQ(Client.IsSubjectEnabled(Second, false), Step.bSecond) << Step.Step;
		EXPECT_EQ(Client.IsSubjectEnabled(Third, false), Step.bThird) << Step.Step;
		EXPECT_EQ(Client.IsSubjectEnabled(Second, true), Step.bSecond) << Step.Step << ": the tick evaluated the one enabled";
		EXPECT_EQ(EvaluatedTime(), Step.Evaluated) << Step.Step;
		EXPECT_TRUE(Client.IsSubjectEnabled(OtherName, false) || !Client.GetSubjects().Contains(OtherName)) << Step.Step << ": another name is its own";
		for (const FLiveLinkSubjectKey& Each : Client.GetSubjects(true, false))
		{
			EXPECT_EQ(Client.GetSubjects(false, false).Contains(Each), Client.IsSubjectEnabled(Each, false)) << Step.Step << ": the list of the enabled ones";
		}
	}
	EXPECT_EQ(Client.GetFrames(Second).Num(), 0) << "disabled, the subject holds no frames";
	EXPECT_EQ(Client.GetIgnoredPushCount(), 1);
}

// Faults caught: no blending; the blend weighted the wrong way round; rotation blended the long way; the offset
// ignored or added; the evaluation not clamped to the buffer's ends; Latest blending or taking the oldest.
TEST_F(LiveLinkClientTest, EngineTimeBlendsTheFramesAroundTheTicksTimeAndLatestTakesTheNewest)
{
	FSteppedClock Clock;
	const double Base = 16777216.0 + 100.0;
	const float Half = 0.70710678f;
	const struct
	{
		double Time;
		float X;
		float FieldOfView;
		FQuat Rotation;
	} Buffered[] = {{0.0, 0.0f, 40.0f, FQuat(0, 0, 0, 1)}, {0.1, 10.0f, 50.0f, FQuat(0, 0, Half, Half)}, {0.2, 30.0f, 70.0f, FQuat(0, 0, -1, 0)}};
	MakeCamera(Key);
	for (const auto& Frame : Buffered)
	{
		FLiveLinkFrameDataStruct Data(FLiveLinkCameraFrameData::StaticStruct());
		FLiveLinkCameraFrameData* Camera = Data.Cast<FLiveLinkCameraFrameData>();
		Camera->WorldTime = FLiveLinkWorldTime(Base + Frame.Time, 0.0);
		Camera->Transform = FTransform(Frame.Rotation, FVector(Frame.X, 0.0f, 0.0f), FVector(1.0f, 1.0f, 1.0f));
		Camera->FieldOfView = Frame.FieldOfView;
		Client.PushSubjectFrameData_AnyThread(Key, MoveTemp(Data));
	}
	Client.Tick();

	const struct
	{
		const char* Case;
		ELiveLinkSourceMode Mode;
		double TickTime;
		float Offset;
		float X;
		float FieldOfView;
		float RotationZ;
		float RotationW;
	} Rows[] = {
	    {"before the oldest", ELiveLinkSourceMode::EngineTime, -0.1, 0.0f, 0.0f, 40.0f, 0.0f, 1.0f},
	    {"halfway between the first two", ELiveLinkSourceMode::EngineTime, 0.05, 0.0f, 5.0f, 45.0f, 0.38268343f, 0.92387953f},
	    // The third rotation is the second turned by 90 degrees, written with the opposite sign.
	    {"halfway between the last two", ELiveLinkSourceMode::EngineTime, 0.15, 0.0f, 20.0f, 60.0f, 0.92387953f, 0.38268343f},
	    {"a quarter of the way", ELiveLinkSourceMode::EngineTime, 0.125, 0.0f, 15.0f, 55.0f, 0.0f, 0.0f},
	    {"on the newest", ELiveLinkSourceMode::EngineTime, 0.2, 0.0f, 30.0f, 70.0f, -1.0f, 0.0f},
	    {"after the newest", ELiveLinkSourceMode::EngineTime, 0.5, 0.0f, 30.0f, 70.0f, -1.0f, 0.0f},
	    {"read a tenth of a second back", ELiveLinkSourceMode::EngineTime, 0.25, 0.1f, 20.0f, 60.0f, 0.92387953f, 0.38268343f},
	    {"latest, at any time", ELiveLinkSourceMode::Latest, 0.05, 0.0f, 30.0f, 70.0f, -1.0f, 0.0f},
	};
	ULiveLinkSourceSettings* Settings = Client.GetSourceSettings(Guid);
	for (const auto& Row : Rows)
	{
		Settings->Mode = Row.Mode;
		Settings->BufferSettings.EngineTimeOffset = Row.Offset;
		Clock.SetSeconds(Base + Row.TickTime);
		Client.Tick();
		FLiveLinkSubjectFrameData Evaluated;
		ASSERT_TRUE(Client.EvaluateFrame_AnyThread(FName("Camera"), ULiveLinkCameraRole::StaticClass(), Evaluated)) << Row.Case;
		const FLiveLinkCameraFrameData* Camera = Evaluated.FrameData.Cast<FLiveLinkCameraFrameData>();
		ASSERT_NE(Camera, nullptr) << Row.Case;
		EXPECT_NE(Evaluated.StaticData.Cast<FLiveLinkCameraStaticData>(), nullptr) << Row.Case;
		EXPECT_NEAR(Camera->Transform.GetTranslation().X, Row.X, 1e-3) << Row.Case;
		EXPECT_NEAR(Camera->FieldOfView, Row.FieldOfView, 1e-3) << Row.Case;
		if (Row.RotationW != 0.0f || Row.RotationZ != 0.0f)
		{
			EXPECT_NEAR(Camera->Transform.GetRotation().Z, Row.RotationZ, 1e-5) << Row.Case;
			EXPECT_NEAR(Camera->Transform.GetRotation().W, Row.RotationW, 1e-5) << Row.Case;
		}
	}
	EXPECT_EQ(Client.GetFrames(Key).Num(), 3) << "evaluating keeps the buffer";
}

TEST_F(LiveLinkClientTest, ListenerHearsEachFrameTakenInOnTheTickingThreadOnceItIsStored)
{
	MakeCamera(Key);
	std::vector<double> Heard;
	std::vector<double> StoredWhenHeard;
	const std::thread::id TickingThread = std::this_thread::get_id();
	Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda(
	    [&](const FLiveLinkSubjectKey& HeardKey, const FLiveLinkFrameDataStruct& Frame)
	    {
		    EXPECT_EQ(HeardKey, Key);
		    EXPECT_EQ(std::this_thread::get_id(), TickingThread);
		    Heard.push_back(Frame.GetBaseData()->WorldTime.GetSourceTime());
		    // The listener may read the client; the frame is already there.
		    StoredWhenHeard.push_back(FrameTimes(Client.GetFrames(HeardKey)).back());
	    }));

	std::thread Pusher(
	    [this]()
	    {
		    Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(1.0));
		    Client.PushSubjectFrameData_AnyThread(Key, MakeCameraFrame(2.0));
	    });
	Pusher.join();
	EXPECT_TRUE(Heard.empty());
	Client.Tick();

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
	Client.Tick();
	ASSERT_EQ(Client.GetSubjects().Num(), 2);
	Events.clear();

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
	Client.OnLiveLinkTicked().AddLambda(
	    [&]()
	    {
		    Client.RemoveSource(Guid);
		    Events.push_back("removal asked");
	    });

	Client.Tick();

	EXPECT_EQ(Events, (FEventLog{"source update", "source ticked", "removal asked", "source shutdown", "source destroyed"}));
	EXPECT_EQ(Client.GetSourceGuids().Num(), 0);
}

// Run under TSan: pushes and queries from other threads while the game thread ticks.
TEST_F(LiveLinkClientTest, PushesFromTwoThreadsWhileTheClientTicksAreEachHeardOrCounted)
{
	const FLiveLinkSubjectKey Keys[2] = {FLiveLinkSubjectKey(Guid, FName("Left")), FLiveLinkSubjectKey(Guid, FName("Right"))};
	for (const FLiveLinkSubjectKey& SubjectKey : Keys)
	{
		PushCamera(SubjectKey);
	}
	Client.Tick();
	std::vector<double> Heard[2];
	Client.RegisterForFramePushed(
	    FOnLiveLinkFramePushed::FDelegate::CreateLambda([&](const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& Frame)
	                                                    { Heard[SubjectKey == Keys[0] ? 0 : 1].push_back(Frame.GetBaseData()->WorldTime.GetSourceTime()); }));

	const int32 FramesPerThread = 2000;
	std::atomic<int32> PushersRunning{2};
	std::vector<std::thread> Threads;
	for (const FLiveLinkSubjectKey& SubjectKey : Keys)
	{
		Threads.emplace_back(
		    [this, &PushersRunning, SubjectKey]()
		    {
			    for (int32 Index = 0; Index < FramesPerThread; ++Index)
			    {
				    Client.PushSubjectFrameData_AnyThread(SubjectKey, MakeCameraFrame(double(Index)));
			    }
			    PushersRunning.fetch_sub(1);
		    });
	}
	Threads.emplace_back(
	    [&]()
	    {
		    while (PushersRunning.load() > 0)
		    {
			    FLiveLinkSubjectFrameData Evaluated;
			    Client.EvaluateFrame_AnyThread(FName("Left"), ULiveLinkCameraRole::StaticClass(), Evaluated);
			    ASSERT_LE(Client.GetFrames(Keys[1]).Num(), 10);
		    }
	    });
	while (PushersRunning.load() > 0)
	{
		Client.Tick();
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	Client.Tick();

	// The pushers may outrun every tick, so either subject may have had all its frames cut from the queue.
	EXPECT_GT(Heard[0].size() + Heard[1].size(), 0u);
	EXPECT_EQ(int64(Heard[0].size() + Heard[1].size()) + Client.GetIgnoredPushCount(), 2 * FramesPerThread);
	for (const std::vector<double>& Times : Heard)
	{
		EXPECT_TRUE(std::is_sorted(Times.begin(), Times.end()));
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
