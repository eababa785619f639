#include "OrvidaLiveLinkSource.h"
#include "OrvidaLiveLinkSourceSettings.h"
#include "StandIn/StandInClock.h"

#include "HAL/PlatformTime.h"
#include "LogCapture.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkSourceTestAccess.h"
#include "Recorder/TakeRecorderBlueprintLibrary.h"
#include "Recorder/TakeRecorderPanel.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Runtime/Launch/Resources/Version.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/StandInCineCameraComponent.h"
#include "StandIn/StandInLiveLinkCameraController.h"
#include "StandIn/TakeRecorder.h"
#include "TakeMetaData.h"
#include "Templates/Casts.h"
#include "UObject/UnrealType.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
/**
 * A source on a real Live Link client, with the playout clock and the engine clock on one clock that the test
 * moves. Samples go straight into the ring, each with a datagram's arrival stamped at that moment, unless a test
 * sends them over the loopback to the source's port.
 */
class OrvidaLiveLinkTickTest : public testing::Test
{
protected:
	static constexpr int64 FrameMs = 40;

	void SetUp() override
	{
		FStandInClock::SetCycleSource([this] { return uint64(NowMs) * 1000000u; });
		TakesDirectory = std::filesystem::temp_directory_path() / ("orvida-tick-test-" + std::to_string(::getpid()));
		Recorder.SetTakesDirectory(FString(UTF8_TO_TCHAR(TakesDirectory.c_str())));
		Recorder.AttachToClient(Client);
		// Most tests look past the countdown: their takes start on the recorder's next tick.
		Recorder.SetCountdownSeconds(0.0f);
		// A slate the editor can name a take with, for the tests whose camera sends none.
		Recorder.GetTakeMetaData()->SetSlate(TEXT("T1"));
		Recorder.GetTakeMetaData()->OnTakeMetaDataChanged().AddLambda([this](UTakeMetaData*) { ++MetaDataChanges; });
		Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateLambda(
		    [this](const FLiveLinkSubjectKey& Key, const FLiveLinkFrameDataStruct& Frame)
		    {
			    if (Key == SubjectKey())
			    {
				    Heard[Heard.Emplace()].InitializeWith(Frame);
			    }
		    }));
	}

	void TearDown() override
	{
		if (Source.IsValid())
		{
			Client.RemoveSource(SourceGuid);
			Source.Reset();
		}
		Recorder.StopRecording();
		Recorder.ClosePanel();
		Recorder.DetachFromClient();
		FStandInClock::SetCycleSource(nullptr);
		std::filesystem::remove_all(TakesDirectory);
	}

	/** Replaces the source the test had, if any. */
	void MakeSource(bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord)
	{
		if (Source.IsValid())
		{
			Client.RemoveSource(SourceGuid);
			Source.Reset();
		}
		Port = LoopbackUdp::PickFreePort();
		Source = FOrvidaLiveLinkSourceTestAccess::MakeClocked(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), bAutoLens, bAutoSceneTakeUpdate, bAutoRecord,
		                                                      [this] { return NowMs; });
		SourceGuid = Client.AddSource(Source);
		Heard.Reset();
		// The source pushes its static data on this tick; the client takes it in on the next, before any frame.
		Client.Tick();
	}

	/**
	 * One more tick at the same time: the client takes in what the last pass pushed. Its own pass finds the same
	 * sample due and pushes it again, into the client's queue.
	 */
	void TakeIn() { Client.Tick(); }

	/** Sends Message to the source and waits until the receiver has committed one more sample. */
	void Deliver(const std::string& Message)
	{
		const int64 Committed = Source->GetSampleRing().GetStats().CommittedSamples;
		ASSERT_TRUE(Sender.Send(Port, Message));
		ASSERT_TRUE(WaitUntil([&] { return Source->GetSampleRing().GetStats().CommittedSamples == Committed + 1; }));
	}

	FLiveLinkSubjectKey SubjectKey() const { return FLiveLinkSubjectKey(SourceGuid, FName("Orvida - Camera")); }

	/** Commits a sample as if its datagram arrived now. */
	void Commit(const FOrvidaCameraSample& Sample)
	{
		FOrvidaLiveLinkSourceTestAccess::MarkDatagramArrival(*Source);
		Source->GetSampleRing().CommitSample(Sample);
	}

	/** Commits a sample and moves the clock on by one playout frame. */
	void CommitAndAdvance(const FOrvidaCameraSample& Sample)
	{
		Commit(Sample);
		NowMs += FrameMs;
	}

	/** Enough samples and frames that the ring plays the newest one on the next tick. */
	void Prime(const FOrvidaCameraSample& Sample, int32 Count = 3)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			CommitAndAdvance(Sample);
			Client.Tick();
		}
	}

	/** Every frame of the source's subject that the client has taken in, oldest first. */
	TArray<FLiveLinkFrameDataStruct> Frames() const
	{
		TArray<FLiveLinkFrameDataStruct> Copies;
		for (const FLiveLinkFrameDataStruct& Frame : Heard)
		{
			Copies[Copies.Emplace()].InitializeWith(Frame);
		}
		return Copies;
	}

	const FLiveLinkCameraFrameData& LastCameraFrame(TArray<FLiveLinkFrameDataStruct>& Storage) const
	{
		Storage = Frames();
		EXPECT_GT(Storage.Num(), 0);
		const FLiveLinkCameraFrameData* Camera = Storage.Last().Cast<FLiveLinkCameraFrameData>();
		EXPECT_NE(Camera, nullptr);
		return *Camera;
	}

	/** Every call the automation made: lookups, queries, checks and requests through the scripts' side, and metadata changes. */
	std::vector<int64> Calls() const
	{
		const FTakeRecorder::FScriptCallCounts Counts = Recorder.GetScriptCallCounts();
		return {Counts.PanelLookups, Counts.RecordingQueries, Counts.ActiveRecorderQueries, Counts.StartChecks, Counts.StartRequests,
		        Counts.StopRequests, MetaDataChanges};
	}

	/**
	 * Makes Sample the due one, as a stream at the playout rate would: the ring plays two samples behind the
	 * newest, so the sample goes in three times, with a tick into a new playout frame after each. The client has
	 * not taken in the last frame pushed yet (see TakeIn).
	 */
	void Play(const FOrvidaCameraSample& Sample)
	{
		PlayWith([&] { Commit(Sample); });
	}
	/** The same with Message sent over the loopback, through the receiver and the decoder. */
	void Play(const std::string& Message)
	{
		PlayWith([&] { Deliver(Message); });
	}
	template <typename CommitType> void PlayWith(CommitType&& Commit)
	{
		for (int32 Index = 0; Index < PassesPerPlay; ++Index)
		{
			Commit();
			NowMs += FrameMs;
			// As in the editor's frame: the client's tick, with the publishing pass, then the recorder's.
			Client.Tick();
			Recorder.Tick(FrameMs / 1000.0f);
		}
	}
	static constexpr int32 PassesPerPlay = 3;

	int64 NowMs = 1000;
	FLiveLinkClient Client;
	FTakeRecorder Recorder;
	int64 MetaDataChanges = 0;
	TSharedPtr<FOrvidaLiveLinkSource> Source;
	FGuid SourceGuid;
	/** The frames of the source's subject that the client took in, in that order. */
	TArray<FLiveLinkFrameDataStruct> Heard;
	uint16 Port = 0;
	const LoopbackUdp::FSender Sender;
	std::filesystem::path TakesDirectory;
};

FOrvidaCameraSample TakeSample(const TCHAR* Scene, const TCHAR* Slate, const TCHAR* Take, int32 State)
{
	FOrvidaCameraSample Sample;
	Sample.Scale[0] = Sample.Scale[1] = Sample.Scale[2] = 1.0f;
	Sample.Metadata[0] = Scene;
	Sample.Metadata[1] = Slate;
	Sample.Metadata[2] = Take;
	Sample.State = State;
	return Sample;
}
} // namespace

TEST_F(OrvidaLiveLinkTickTest, FirstPassPushesStaticDataOnceAndNoFrameBeforeAnyMessage)
{
	// MakeSource's tick ran the first pass.
	MakeSource(true, true, false);
	EXPECT_FALSE(Source->LiveLinkTick());
	EXPECT_FALSE(Source->LiveLinkTick());
	TakeIn();

	EXPECT_EQ(Client.GetSubjectRole(SubjectKey()).Get(), ULiveLinkCameraRole::StaticClass());
	EXPECT_EQ(Frames().Num(), 0);

	// Pushing static data again would clear the subject's frames, queued ones too: later passes must not.
	CommitAndAdvance(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	EXPECT_TRUE(Source->LiveLinkTick());
	EXPECT_TRUE(Source->LiveLinkTick());
	TakeIn();
	EXPECT_EQ(Frames().Num(), 2);
}

TEST_F(OrvidaLiveLinkTickTest, TheEnginesCameraControllerTakesTheStreamedLensOnlyWithAutoLens)
{
	// What the engine's controller makes of the subject, on a camera and on a Cine Camera whose user chose 24 mm
	// and focus tracking: with the lens option the streamed field of view reaches both; without it neither lens
	// is touched. The 5.x controller also sets the focus method where focus distance is claimed (Manual, at the
	// streamed distance), so without the option the user's tracking must stand there too.
	for (const bool bAutoLens : {true, false})
	{
		MakeSource(bAutoLens, false, false);
		Play(R"({"OVDCamera":[{"Location":[1,2,3],"Rotation":[0,0,0,1],"Lens":[35,250,1.5,54.43],"Timecode":[10,25,1]}]})");
		TakeIn();
		FLiveLinkStaticDataStruct StaticData;
		ASSERT_TRUE(Client.GetSubjectStaticData(SubjectKey(), StaticData));
		TArray<FLiveLinkFrameDataStruct> Storage;
		const FLiveLinkCameraFrameData& Frame = LastCameraFrame(Storage);
		FStandInCameraComponent Camera;
		FStandInCineCameraComponent CineCamera(36.0f, 24.0f);
		CineCamera.SetCurrentFocalLength(24.0f);
		CineCamera.SetFocusMethod(EStandInCameraFocusMethod::Tracking);
		FStandInLiveLinkCameraController::Tick(*StaticData.Cast<FLiveLinkCameraStaticData>(), Frame, Camera);
		FStandInLiveLinkCameraController::Tick(*StaticData.Cast<FLiveLinkCameraStaticData>(), Frame, CineCamera);
		EXPECT_NEAR(CineCamera.GetCurrentFocalLength(), bAutoLens ? 35.0f : 24.0f, 0.05f) << "auto lens " << bAutoLens;
		const bool bFocusTaken = bAutoLens && ENGINE_MAJOR_VERSION >= 5;
		EXPECT_EQ(CineCamera.GetFocusMethod(), bFocusTaken ? EStandInCameraFocusMethod::Manual : EStandInCameraFocusMethod::Tracking)
		    << "auto lens " << bAutoLens;
		EXPECT_EQ(CineCamera.GetManualFocusDistance(), bAutoLens ? 250.0f : FStandInCineCameraComponent::DefaultManualFocusDistance)
		    << "auto lens " << bAutoLens;
		EXPECT_NEAR(Camera.GetFieldOfView(), bAutoLens ? 54.43f : 90.0f, 0.001f) << "auto lens " << bAutoLens;
		EXPECT_NEAR(Camera.GetAspectRatio(), bAutoLens ? 1.5f : FStandInCameraComponent::DefaultAspectRatio, 0.001f) << "auto lens " << bAutoLens;
	}
}

TEST_F(OrvidaLiveLinkTickTest, AfterAStopRequestTheTickPublishesNothing)
{
	MakeSource(false, false, false);
	CommitAndAdvance(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	Client.Tick();
	TakeIn();
	ASSERT_EQ(Frames().Num(), 1);

	EXPECT_TRUE(Source->RequestSourceShutdown());
	// What was queued before the request.
	TakeIn();
	const int32 FramesBeforeTheRequest = Frames().Num();
	CommitAndAdvance(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	Client.Tick();
	EXPECT_FALSE(Source->LiveLinkTick());
	TakeIn();
	EXPECT_EQ(Frames().Num(), FramesBeforeTheRequest);
}

TEST_F(OrvidaLiveLinkTickTest, FrameCarriesTheDueTransformUnchangedAndTheEngineTime)
{
	MakeSource(false, false, false);
	FOrvidaCameraSample Sample;
	Sample.Location[0] = 1.5;
	Sample.Location[1] = -2.0;
	// The first whole number a float cannot hold: a 5.x engine's double transform keeps it, 4.27's float one
	// rounds it to the nearest float, as the engine itself would.
	Sample.Location[2] = 16777217.0;
	Sample.Scale[0] = 2.0;
	CommitAndAdvance(Sample);
	Client.Tick();
	TakeIn();

	TArray<FLiveLinkFrameDataStruct> Storage;
	const FLiveLinkCameraFrameData& Frame = LastCameraFrame(Storage);
	EXPECT_EQ(Frame.Transform.GetRotation(), FQuat(0, 0, 0, 0)) << "a zero quaternion stays zero";
	EXPECT_EQ(Frame.Transform.GetTranslation().X, 1.5);
	EXPECT_EQ(Frame.Transform.GetTranslation().Y, -2.0);
	EXPECT_EQ(double(Frame.Transform.GetTranslation().Z), ENGINE_MAJOR_VERSION >= 5 ? 16777217.0 : 16777216.0);
	EXPECT_EQ(Frame.Transform.GetScale3D(), FVector(2, 0, 0));
	EXPECT_DOUBLE_EQ(Frame.WorldTime.Time, double(NowMs) * 0.001 + 16777216.0);
	EXPECT_DOUBLE_EQ(Frame.WorldTime.Offset, 0.0) << "the clock did not move between the two readings";
	// Without the lens option the lens members keep the structure's defaults.
	const FLiveLinkCameraFrameData Defaults;
	EXPECT_EQ(Frame.FieldOfView, Defaults.FieldOfView);
	EXPECT_EQ(Frame.AspectRatio, Defaults.AspectRatio);
	EXPECT_EQ(Frame.FocusDistance, Defaults.FocusDistance);
}

TEST_F(OrvidaLiveLinkTickTest, LensValuesGoIntoTheFrameOnlyWithAutoLens)
{
	MakeSource(true, false, false);
	FOrvidaCameraSample Sample;
	Sample.Lens[0] = 35.0;
	Sample.Lens[1] = 250.0;
	Sample.Lens[2] = 1.5;
	Sample.Lens[3] = 54.25;
	CommitAndAdvance(Sample);
	Client.Tick();
	TakeIn();

	TArray<FLiveLinkFrameDataStruct> Storage;
	const FLiveLinkCameraFrameData& Frame = LastCameraFrame(Storage);
	EXPECT_EQ(Frame.FieldOfView, 54.25f);
	EXPECT_EQ(Frame.AspectRatio, 1.5f);
	EXPECT_EQ(Frame.FocusDistance, 250.0f);
	EXPECT_EQ(Frame.FocalLength, FLiveLinkCameraFrameData().FocalLength) << "lens value 0 is not published";
}

TEST_F(OrvidaLiveLinkTickTest, SceneTimeCarriesTheDueSamplesTimecodeAndTheClocksSubframe)
{
	MakeSource(false, false, false);
	FOrvidaCameraSample Sample;
	Sample.Timecode[1] = 30000;
	Sample.Timecode[2] = 1001;
	for (int32 Index = 1; Index <= FOrvidaSampleRing::RingCapacity; ++Index)
	{
		Sample.Timecode[0] = 100 + Index;
		Commit(Sample);
	}
	NowMs += FrameMs + 10;
	// Six samples, so that the ring has gone round and the playout rate is the stream's too.
	Client.Tick();
	TakeIn();
	TArray<FLiveLinkFrameDataStruct> Storage;
	const FLiveLinkCameraFrameData& Frame = LastCameraFrame(Storage);
	EXPECT_EQ(Frame.MetaData.SceneTime.Time.FrameNumber.Value, 101);
	EXPECT_EQ(Frame.MetaData.SceneTime.Rate, FFrameRate(30000, 1001));
	EXPECT_FLOAT_EQ(Frame.MetaData.SceneTime.Time.GetSubFrame(), Source->GetSampleRing().GetPlayoutSubframe());
	EXPECT_GT(Frame.MetaData.SceneTime.Time.GetSubFrame(), 0.0f);
}

TEST_F(OrvidaLiveLinkTickTest, OnlyADueSampleWithAValidRateGivesItsFrameASceneTime)
{
	struct FCase
	{
		int32 Numerator;
		int32 Denominator;
		bool bValid;
	};
	// From the first sample on, before the ring has gone round; each invalid rate follows a valid one.
	const FCase Cases[] = {{24, 1, true},        {25, 0, false}, {30000, 1001, true}, {0, 1, false}, {50, 1, true}, {-25, 1, false},
	                       {1001, 30000, false}, {25, 1, true},  {-25, -1, false},    {25, 1, true}, {25, 1, true}};
	const int32 NumCases = int32(UE_ARRAY_COUNT(Cases));
	MakeSource(false, false, false);
	for (int32 Index = 0; Index < NumCases; ++Index)
	{
		FOrvidaCameraSample Sample;
		Sample.Location[0] = float(Index);
		Sample.Timecode[0] = 500 + Index;
		Sample.Timecode[1] = Cases[Index].Numerator;
		Sample.Timecode[2] = Cases[Index].Denominator;
		CommitAndAdvance(Sample);
		Client.Tick();
	}
	// The ring runs dry and keeps the last sample due.
	for (int32 Pass = 0; Pass < NumCases; ++Pass)
	{
		NowMs += FrameMs;
		Client.Tick();
	}
	const FQualifiedFrameTime Default;
	std::vector<bool> Seen(NumCases, false);
	for (const FLiveLinkFrameDataStruct& Frame : Frames())
	{
		const FLiveLinkCameraFrameData* Camera = Frame.Cast<FLiveLinkCameraFrameData>();
		ASSERT_NE(Camera, nullptr);
		const int32 Index = int32(Camera->Transform.GetTranslation().X);
		Seen[Index] = true;
		const FCase& Case = Cases[Index];
		const FQualifiedFrameTime& SceneTime = Camera->MetaData.SceneTime;
		if (Case.bValid)
		{
			EXPECT_EQ(SceneTime.Time.FrameNumber.Value, 500 + Index);
			EXPECT_EQ(SceneTime.Rate, FFrameRate(Case.Numerator, Case.Denominator)) << Index;
		}
		else
		{
			EXPECT_EQ(SceneTime.Time.FrameNumber.Value, Default.Time.FrameNumber.Value) << Case.Numerator << "/" << Case.Denominator;
			EXPECT_EQ(SceneTime.Time.GetSubFrame(), Default.Time.GetSubFrame()) << Case.Numerator << "/" << Case.Denominator;
			EXPECT_EQ(SceneTime.Rate, Default.Rate) << Case.Numerator << "/" << Case.Denominator;
		}
	}
	EXPECT_EQ(std::count(Seen.begin(), Seen.end(), true), NumCases) << "every sample was due once";
}

TEST_F(OrvidaLiveLinkTickTest, TakeTextsBecomeTakeNumbers)
{
	struct FCase
	{
		const TCHAR* Take;
		int32 Expected;
	};
	// The Take Recorder keeps take numbers at 1 or more, so a text without a number reads as 1 there.
	const FCase Cases[] = {{TEXT("12"), 12}, {TEXT("12b"), 12}, {TEXT(" 7"), 7}, {TEXT(""), 1}, {TEXT("b12"), 1}, {TEXT("30"), 30}};
	MakeSource(false, true, false);
	UTakeMetaData* TakeMetaData = Recorder.OpenPanel()->GetTakeMetaData();
	ASSERT_NE(TakeMetaData, nullptr);
	for (const FCase& Case : Cases)
	{
		TakeMetaData->SetTakeNumber(99);
		Play(TakeSample(TEXT("scene"), TEXT("slate"), Case.Take, 0));
		EXPECT_EQ(TakeMetaData->GetTakeNumber(), Case.Expected) << TCHAR_TO_UTF8(Case.Take);
		EXPECT_EQ(std::string(TCHAR_TO_UTF8(*TakeMetaData->GetSlate())), "slate");
	}
}

TEST_F(OrvidaLiveLinkTickTest, DatagramsOverTheLoopbackBecomeTheSubjectsFrames)
{
	MakeSource(true, false, false);
	for (int32 Index = 1; Index <= 5; ++Index)
	{
		const std::string Message = R"({"OVDCamera":[{"Location":[)" + std::to_string(Index * 10) + R"(,1,2],"Rotation":[0,0,0,1],"Lens":[0,300,1.25,)" +
		                            std::to_string(40 + Index) + "]}]}";
		Deliver(Message);
	}

	std::vector<float> Locations;
	std::vector<float> FieldsOfView;
	for (int32 Frame = 0; Frame < 6; ++Frame)
	{
		NowMs += FrameMs;
		Client.Tick();
	}
	TakeIn();
	for (const FLiveLinkFrameDataStruct& Frame : Frames())
	{
		const FLiveLinkCameraFrameData* Camera = Frame.Cast<FLiveLinkCameraFrameData>();
		ASSERT_NE(Camera, nullptr);
		Locations.push_back(Camera->Transform.GetTranslation().X);
		FieldsOfView.push_back(Camera->FieldOfView);
		EXPECT_EQ(Camera->Transform.GetRotation(), FQuat(0, 0, 0, 1));
		EXPECT_EQ(Camera->FocusDistance, 300.0f);
	}
	// The first playout frame ends buffering, then the ring plays one sample per frame, and the last stays due.
	EXPECT_EQ(Locations, (std::vector<float>{10, 20, 30, 40, 50, 50}));
	EXPECT_EQ(FieldsOfView, (std::vector<float>{41, 42, 43, 44, 45, 45}));
}

TEST_F(OrvidaLiveLinkTickTest, UnchangedTakeDataMakesNoTakeRecorderCallAtAll)
{
	MakeSource(false, true, true);
	Recorder.OpenPanel();
	const FOrvidaCameraSample Idle = TakeSample(TEXT("s"), TEXT("A004"), TEXT("3"), 0);
	Play(Idle);
	const std::vector<int64> After = Calls();
	for (int32 Pass = 0; Pass < 5; ++Pass)
	{
		Play(Idle);
	}
	EXPECT_EQ(Calls(), After);
	EXPECT_GT(Frames().Num(), 5) << "frames are pushed all the same";

	// While the camera records, each pass looks the panel up (it may have been closed) and does nothing more.
	const FOrvidaCameraSample Recording = TakeSample(TEXT("s"), TEXT("A004"), TEXT("3"), 2);
	Play(Recording);
	ASSERT_TRUE(Recorder.IsRecording());
	std::vector<int64> Expected = Calls();
	Play(Recording);
	Expected[0] += PassesPerPlay;
	EXPECT_EQ(Calls(), Expected);
}

TEST_F(OrvidaLiveLinkTickTest, RecordingFollowsTheRemoteState)
{
	MakeSource(false, false, true);
	Recorder.OpenPanel();
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 1));
	EXPECT_FALSE(Recorder.IsRecording());
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 2));
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 2));
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetScriptCallCounts().StopRequests, 1);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Recorder.GetTakeMetaData()->GetSlate())), "T1") << "without scene/take update the slate is not touched";
	EXPECT_EQ(Recorder.GetTakeMetaData()->GetTakeNumber(), 2) << "only the recorder moved the number on";
}

// Fault caught: a stop sent only while IsRecording is true, so a camera take shorter than the countdown leaves
// the editor's take counting down, then recording until the next camera take ends.
TEST_F(OrvidaLiveLinkTickTest, ACameraTakeShorterThanTheCountdownLeavesNoRecorderActive)
{
	Recorder.SetCountdownSeconds(3.0f);
	MakeSource(false, false, true);
	Recorder.OpenPanel();
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 2));
	ASSERT_NE(UTakeRecorderBlueprintLibrary::GetActiveRecorder(), nullptr);
	EXPECT_FALSE(Recorder.IsRecording());
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetActiveRecorder(), nullptr);
	for (int32 Second = 0; Second < 4; ++Second)
	{
		Recorder.Tick(1.0f);
	}
	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_TRUE(Recorder.GetTakeFilePath().IsEmpty()) << "no take was recorded";
}

// Faults caught: a start asked for although the Take Recorder says it cannot start (an Error in the editor's log
// and a lost take); the reason not told, or told on every pass; the start given up after one try, so the take is
// lost even once the user mends the slate; a refusal in the next camera take not told again.
TEST_F(OrvidaLiveLinkTickTest, ARefusedStartIsToldOncePerCameraTakeAndStartsOnceTheRefusalClears)
{
	const auto Count = [](const FLogCapture& Log, const char* Category, ELogVerbosity::Type Verbosity)
	{
		const auto Lines = Log.GetLines();
		return std::count_if(Lines.begin(), Lines.end(),
		                     [&](const FLogCapture::FLine& Line) { return Line.Category == Category && Line.Verbosity == Verbosity; });
	};
	const auto CountWarnings = [&](const FLogCapture& Log) { return Count(Log, "ModuleLog", ELogVerbosity::Warning); };
	const auto TakeRecorderErrors = [&](const FLogCapture& Log) { return Count(Log, "LogTakeRecorder", ELogVerbosity::Error); };
	MakeSource(false, true, true);
	Recorder.OpenPanel();
	// The camera's slate as it sends it, space and all.
	const FOrvidaCameraSample Sample = TakeSample(TEXT("s"), TEXT("Scene 4"), TEXT("3"), 2);
	FLogCapture Log;
	Play(Sample);
	Play(Sample);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Recorder.GetTakeMetaData()->GetSlate())), "Scene 4");
	EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetActiveRecorder(), nullptr);
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 0);
	EXPECT_EQ(TakeRecorderErrors(Log), 0);
	ASSERT_EQ(CountWarnings(Log), 1);
	const std::string Warning = Log.GetLines().back().Text;
	EXPECT_NE(Warning.find("a space"), std::string::npos) << Warning;

	Recorder.GetTakeMetaData()->SetSlate(TEXT("Scene_4"));
	Play(Sample);
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);

	Play(TakeSample(TEXT("s"), TEXT("Scene 4"), TEXT("3"), 0));
	EXPECT_FALSE(Recorder.IsRecording());
	Play(TakeSample(TEXT("s"), TEXT("Scene 5"), TEXT("1"), 2));
	EXPECT_EQ(CountWarnings(Log), 2) << "the next camera take is refused too, and told";
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);
}

// Faults caught: slate and take counted as written to a take under review or a locked one, which ignore writes,
// so the camera's slate never reaches the take recorded next.
TEST_F(OrvidaLiveLinkTickTest, WritesALockedOrReviewedTakeIgnoresAreTriedAgain)
{
	MakeSource(false, true, false);
	Recorder.OpenPanel();
	UTakeMetaData* MetaData = Recorder.GetTakeMetaData();
	const FOrvidaCameraSample Sample = TakeSample(TEXT("s"), TEXT("A7"), TEXT("5"), 0);

	Recorder.SetPanelMode(ETakeRecorderPanelMode::ReviewingRecording);
	Play(Sample);
	Recorder.SetPanelMode(ETakeRecorderPanelMode::NewRecording);
	Play(Sample);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*MetaData->GetSlate())), "A7");
	EXPECT_EQ(MetaData->GetTakeNumber(), 5);

	MetaData->SetSlate(TEXT("B1"));
	MetaData->Lock();
	const FOrvidaCameraSample Next = TakeSample(TEXT("s"), TEXT("A8"), TEXT("6"), 0);
	Play(Next);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*MetaData->GetSlate())), "B1");
	MetaData->Unlock();
	Play(Next);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*MetaData->GetSlate())), "A8");
	EXPECT_EQ(MetaData->GetTakeNumber(), 6);
}

// Faults caught: a slate of any length written to the Take Recorder (one datagram can carry some 65,000
// characters, which every snapshot and asset path then holds); a refusal told on every pass.
TEST_F(OrvidaLiveLinkTickTest, ASlateOverTheBoundIsNotWrittenAndToldOnce)
{
	MakeSource(false, true, false);
	Recorder.OpenPanel();
	Recorder.GetTakeMetaData()->SetSlate(TEXT("A1"));
	const auto Slate = [](int32 Characters)
	{
		FString Text;
		while (Text.Len() < Characters)
		{
			Text.AppendChar(TEXT('x'));
		}
		return Text;
	};
	FLogCapture Log;
	const FOrvidaCameraSample Long = TakeSample(TEXT("s"), *Slate(257), TEXT("2"), 0);
	Play(Long);
	Play(Long);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Recorder.GetTakeMetaData()->GetSlate())), "A1");
	const auto Lines = Log.GetLines();
	EXPECT_EQ(std::count_if(Lines.begin(), Lines.end(), [](const FLogCapture::FLine& Line) { return Line.Verbosity == ELogVerbosity::Warning; }), 1);
	Play(TakeSample(TEXT("s"), *Slate(256), TEXT("2"), 0));
	EXPECT_EQ(Recorder.GetTakeMetaData()->GetSlate().Len(), 256);
}

// Faults caught: a second take started over one started by hand; a take stopped by hand while the camera records
// started again by a pending start that should have ended when the automation's own start went through.
TEST_F(OrvidaLiveLinkTickTest, ARecordingStartedOrStoppedByHandIsLeftAlone)
{
	MakeSource(false, true, true);
	UTakeRecorderPanel* Panel = Recorder.OpenPanel();
	Panel->StartRecording();
	Recorder.Tick(0.0f);
	const FString ManualTake = Recorder.GetTakeFilePath();
	Play(TakeSample(TEXT(""), TEXT("B1"), TEXT("1"), 2));
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetTakeFilePath(), ManualTake);
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1) << "only the one made by hand";
	EXPECT_EQ(Recorder.GetScriptCallCounts().StopRequests, 0);

	Panel->StopRecording();
	Play(TakeSample(TEXT(""), TEXT("B1"), TEXT("1"), 2));
	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);
}

TEST_F(OrvidaLiveLinkTickTest, AMetadataChangeWhileRecordingSetsSlateAndTakeAndKeepsRecording)
{
	MakeSource(false, true, true);
	Recorder.OpenPanel();
	Play(TakeSample(TEXT("s"), TEXT("A004"), TEXT("3"), 2));
	ASSERT_TRUE(Recorder.IsRecording());
	Play(TakeSample(TEXT("s"), TEXT("A005"), TEXT("4"), 2));
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Recorder.GetTakeMetaData()->GetSlate())), "A005");
	EXPECT_EQ(Recorder.GetTakeMetaData()->GetTakeNumber(), 4);
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);
	EXPECT_EQ(Recorder.GetScriptCallCounts().StopRequests, 0);
}

TEST_F(OrvidaLiveLinkTickTest, ASlateChangedOnlyInCaseOrASceneChangedAloneReachesTheTakeRecorder)
{
	MakeSource(false, true, false);
	UTakeMetaData* TakeMetaData = Recorder.OpenPanel()->GetTakeMetaData();
	ASSERT_NE(TakeMetaData, nullptr);
	Play(TakeSample(TEXT("Scene"), TEXT("A004"), TEXT("3"), 0));
	Play(TakeSample(TEXT("Scene"), TEXT("a004"), TEXT("3"), 0));
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*TakeMetaData->GetSlate())), "a004") << "engine strings compare ignoring case unless told";

	// The slate edited by hand is written over again when the camera application moves to another scene.
	TakeMetaData->SetSlate(TEXT("by hand"));
	Play(TakeSample(TEXT("Scene 2"), TEXT("a004"), TEXT("3"), 0));
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*TakeMetaData->GetSlate())), "a004");
	EXPECT_EQ(TakeMetaData->GetTakeNumber(), 3);
}

TEST_F(OrvidaLiveLinkTickTest, AutoRecordAloneRunsOnEveryPassWhileMetadataIsThere)
{
	MakeSource(false, false, true);
	Recorder.OpenPanel();
	for (int32 Pass = 0; Pass < 3; ++Pass)
	{
		Play(TakeSample(TEXT("s"), TEXT("A"), TEXT("1"), 2));
	}
	// Nothing remembers the metadata without scene/take update, so each pass reaches the panel, and starts only once.
	EXPECT_EQ(Recorder.GetScriptCallCounts().PanelLookups, 3 * PassesPerPlay);
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(MetaDataChanges, 0);

	// Any other state stops the take on the first pass that sees it.
	Play(TakeSample(TEXT("s"), TEXT("A"), TEXT("1"), 0));
	EXPECT_FALSE(Recorder.IsRecording());
	EXPECT_EQ(Recorder.GetScriptCallCounts().StopRequests, 1);
}

// Faults caught: a pass without a panel that remembers the take as handled; a panel closed while the camera
// records (which ends the take) and opened again getting no take, because slate, take and state did not change.
TEST_F(OrvidaLiveLinkTickTest, WithoutAPanelNothingIsRememberedAndALaterPanelGetsTheTake)
{
	MakeSource(false, true, true);
	const FOrvidaCameraSample Sample = TakeSample(TEXT("s"), TEXT("C7"), TEXT("9"), 2);
	Play(Sample);
	Play(Sample);
	EXPECT_EQ(Recorder.GetScriptCallCounts().PanelLookups, 2 * PassesPerPlay) << "each pass looks again";
	EXPECT_FALSE(Recorder.IsRecording());

	Recorder.OpenPanel();
	Play(Sample);
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Recorder.GetTakeMetaData()->GetSlate())), "C7");
	EXPECT_EQ(Recorder.GetTakeMetaData()->GetTakeNumber(), 9);

	Recorder.ClosePanel();
	Play(Sample);
	EXPECT_FALSE(Recorder.IsRecording());
	Recorder.OpenPanel();
	Play(Sample);
	EXPECT_TRUE(Recorder.IsRecording()) << "the panel opened again gets the take the camera still records";
	EXPECT_EQ(Recorder.GetTakeMetaData()->GetTakeNumber(), 9) << "written again over the number the recorder moved on";
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 2);
}

TEST_F(OrvidaLiveLinkTickTest, APanelWithoutMetadataGetsNoSlateButStillRecords)
{
	MakeSource(false, true, true);
	Recorder.OpenPanel(false);
	Play(TakeSample(TEXT("s"), TEXT("D1"), TEXT("2"), 2));
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(MetaDataChanges, 0);
	// The metadata was not written, so it still counts as changed: the next pass tries again.
	const int64 Lookups = Recorder.GetScriptCallCounts().PanelLookups;
	Play(TakeSample(TEXT("s"), TEXT("D1"), TEXT("2"), 2));
	EXPECT_EQ(Recorder.GetScriptCallCounts().PanelLookups, Lookups + PassesPerPlay);
	EXPECT_EQ(Recorder.GetScriptCallCounts().StartRequests, 1);
}

TEST_F(OrvidaLiveLinkTickTest, ARecordedTakeHoldsTheFramesPushedWhileRecording)
{
	MakeSource(false, false, true);
	Recorder.OpenPanel();
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	for (int32 Pass = 0; Pass < 4; ++Pass)
	{
		Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 2));
	}
	Play(TakeSample(TEXT(""), TEXT(""), TEXT(""), 0));
	ASSERT_FALSE(Recorder.IsRecording());
	// The take begins on the recorder's tick after the pass that asks for it, and the client takes each pass's frame
	// in on its next tick, before that pass stops anything: the frame of every pass that saw the camera recording.
	EXPECT_EQ(Recorder.GetTakeFrameCount(), 4 * PassesPerPlay);
	EXPECT_TRUE(std::filesystem::exists(TCHAR_TO_UTF8(*Recorder.GetTakeFilePath())));
}

TEST_F(OrvidaLiveLinkTickTest, EachOptionAloneTakesItsPartOfTheSameDatagram)
{
	// Each option publishes or acts on its part of the datagram and no other: a slip there shows only end to end.
	const std::string Message = R"({"OVDCamera":[{"Lens":[0,300,1.25,41],"Metadata":["s","A7","5"],"State":2}]})";
	const FLiveLinkCameraFrameData Defaults;
	TArray<FLiveLinkFrameDataStruct> Storage;
	UTakeMetaData* TakeMetaData = Recorder.OpenPanel()->GetTakeMetaData();
	ASSERT_NE(TakeMetaData, nullptr);

	MakeSource(true, false, false);
	Play(Message);
	TakeIn();
	EXPECT_EQ(LastCameraFrame(Storage).FieldOfView, 41.0f);
	EXPECT_EQ(MetaDataChanges, 0);
	EXPECT_FALSE(Recorder.IsRecording());

	Client.RemoveSource(SourceGuid);
	MakeSource(false, true, false);
	Play(Message);
	TakeIn();
	EXPECT_EQ(LastCameraFrame(Storage).FieldOfView, Defaults.FieldOfView);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*TakeMetaData->GetSlate())), "A7");
	EXPECT_EQ(TakeMetaData->GetTakeNumber(), 5);
	EXPECT_FALSE(Recorder.IsRecording());

	Client.RemoveSource(SourceGuid);
	MakeSource(false, false, true);
	TakeMetaData->SetSlate(TEXT("hand"));
	const int64 ChangesBefore = MetaDataChanges;
	Play(Message);
	TakeIn();
	EXPECT_EQ(LastCameraFrame(Storage).FieldOfView, Defaults.FieldOfView);
	EXPECT_TRUE(Recorder.IsRecording());
	EXPECT_EQ(MetaDataChanges, ChangesBefore);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*TakeMetaData->GetSlate())), "hand");
}

// Faults caught: an option changed in the details that the decoder or the publishing pass never sees, or sees only
// on a source made again; the samples the ring held when it was turned on published without their lens (a field of
// view of 0 for a few frames); the static data still claiming no lens after lens update was turned on. Run under
// TSan: the receiver decodes while the game thread changes the option.
TEST_F(OrvidaLiveLinkTickTest, AutoLensTurnedOnInTheDetailsTakesTheLensFromTheNextTick)
{
	const std::string Message = R"({"OVDCamera":[{"Lens":[0,300,1.25,41]}]})";
	TArray<FLiveLinkFrameDataStruct> Storage;
	MakeSource(false, false, false);
	Play(Message);
	TakeIn();
	EXPECT_EQ(LastCameraFrame(Storage).FieldOfView, FLiveLinkCameraFrameData().FieldOfView);
	for (int32 Held = 0; Held < 3; ++Held)
	{
		Deliver(Message);
	}

	UOrvidaLiveLinkSourceSettings* Settings = Cast<UOrvidaLiveLinkSourceSettings>(Client.GetSourceSettings(SourceGuid));
	ASSERT_NE(Settings, nullptr);
	Settings->bAutoLens = true;
	Source->OnSettingsChanged(Settings, FPropertyChangedEvent(nullptr));
	// The static data told again replaces the subject and drops the frame queued beside it: the third tick takes in
	// the second's frame, made of a sample the ring held before the change.
	for (int32 Tick = 0; Tick < 3; ++Tick)
	{
		NowMs += FrameMs;
		Client.Tick();
	}
	EXPECT_EQ(LastCameraFrame(Storage).FieldOfView, 41.0f);
	Play(Message);
	TakeIn();
	EXPECT_EQ(LastCameraFrame(Storage).FieldOfView, 41.0f);
	FLiveLinkStaticDataStruct StaticData;
	ASSERT_TRUE(Client.GetSubjectStaticData(SubjectKey(), StaticData));
	EXPECT_TRUE(StaticData.Cast<FLiveLinkCameraStaticData>()->bIsFieldOfViewSupported);
}

// Faults caught: static data pushed by a source whose socket never bound, which takes the subject's name in the
// editor from a later source that can receive (the client enables one subject of a name); a frame pushed from its
// ring all the same.
TEST_F(OrvidaLiveLinkTickTest, ASourceThatCannotBindPushesNothingAndLeavesTheSubjectToOneThatCan)
{
	// 192.0.2.1 is a documentation address that no interface here has: the bind fails at once and nothing is sent.
	const TSharedPtr<FOrvidaLiveLinkSource> Unbound =
	    FOrvidaLiveLinkSourceTestAccess::MakeClocked(FIPv4Endpoint(FIPv4Address(192, 0, 2, 1), 0), false, false, false, [this] { return NowMs; });
	ASSERT_FALSE(Unbound->IsSourceStillValid());
	const FGuid UnboundGuid = Client.AddSource(Unbound);
	for (int32 Pass = 0; Pass < 5; ++Pass)
	{
		Unbound->GetSampleRing().CommitSample(FOrvidaCameraSample());
		NowMs += FrameMs;
		Client.Tick();
	}
	EXPECT_EQ(Client.GetSubjects().Num(), 0);
	EXPECT_EQ(Client.GetRefusedFrameCount(), 0) << "a frame was pushed without static data";

	MakeSource(false, false, false);
	Play(R"({"OVDCamera":[{"Location":[1,2,3],"Rotation":[0,0,0,1]}]})");
	TakeIn();
	const TArray<FLiveLinkSubjectKey> Subjects = Client.GetSubjects();
	ASSERT_EQ(Subjects.Num(), 1);
	EXPECT_TRUE(Subjects[0] == SubjectKey()) << "the subject is the source's that can receive";
	EXPECT_TRUE(Client.IsSubjectEnabled(SubjectKey(), true)) << "the name is the working source's";
	FLiveLinkSubjectFrameData Evaluated;
	ASSERT_TRUE(Client.EvaluateFrame_AnyThread(FName("Orvida - Camera"), ULiveLinkCameraRole::StaticClass(), Evaluated));
	EXPECT_EQ(Evaluated.FrameData.Cast<FLiveLinkCameraFrameData>()->Transform.GetTranslation(), FVector(1.0f, 2.0f, 3.0f));
	Client.RemoveSource(UnboundGuid);
}

// Faults caught: the last sample pushed on every tick after the stream stopped, so the editor never sees the camera
// stop; the status still "Receiving" then; the silence measured from the first datagram or on another clock than
// the one arrivals are stamped on; a source that stays quiet once datagrams come again.
TEST_F(OrvidaLiveLinkTickTest, FramesStopHalfASecondAfterTheLastDatagramAndResumeWithTheNext)
{
	const auto Status = [this] { return std::string(TCHAR_TO_UTF8(*Source->GetSourceStatus().ToString())); };
	MakeSource(false, false, false);
	Client.Tick();
	EXPECT_EQ(Status(), "Waiting for data") << "before any datagram";
	const std::string Message = R"({"OVDCamera":[{"Location":[1,2,3],"Rotation":[0,0,0,1],"Timecode":[10,25,1]}]})";
	Play(Message);
	EXPECT_EQ(Status(), "Receiving");

	struct FRow
	{
		int64 SinceDatagramMs;
		bool bPushes;
		const char* Status;
	};
	const FRow Rows[] = {{80, true, "Receiving"}, {499, true, "Receiving"}, {500, false, "Waiting for data"}, {5000, false, "Waiting for data"}};
	// A frame pushed by a pass at this time: frames carry the engine time of the pass that pushed them.
	const auto PushedNow = [this]
	{
		const TArray<FLiveLinkFrameDataStruct> Taken = Frames();
		return std::any_of(Taken.begin(), Taken.end(),
		                   [this](const FLiveLinkFrameDataStruct& Frame) { return Frame.GetBaseData()->WorldTime.Time == double(NowMs) * 0.001 + 16777216.0; });
	};
	// Play moved the clock on by one frame after the last datagram arrived.
	const int64 ArrivalMs = NowMs - FrameMs;
	for (const FRow& Row : Rows)
	{
		NowMs = ArrivalMs + Row.SinceDatagramMs;
		Client.Tick();
		TakeIn();
		EXPECT_EQ(PushedNow(), Row.bPushes) << Row.SinceDatagramMs << " ms after the last datagram";
		EXPECT_EQ(Status(), Row.Status) << Row.SinceDatagramMs << " ms after the last datagram";
	}

	Deliver(Message);
	EXPECT_EQ(Status(), "Receiving");
	Client.Tick();
	TakeIn();
	EXPECT_TRUE(PushedNow()) << "a datagram after the silence brings the frames back";
}
