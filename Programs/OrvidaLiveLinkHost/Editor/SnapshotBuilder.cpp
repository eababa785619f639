#include "Editor/SnapshotBuilder.h"

#include "Editor/FrameText.h"
#include "Editor/HostText.h"
#include "Editor/StreamState.h"
#include "OrvidaLiveLinkSource.h"
#include "OrvidaLiveLinkSourceSettings.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/StandInLiveLinkCameraController.h"
#include "StandIn/TakeRecorder.h"
#include "TakeMetaData.h"
#include "Templates/Casts.h"

#include <chrono>
#include <set>

namespace
{
/** What the subject's static data says it sends; nothing for static data of another role. */
void DescribeStaticData(const FLiveLinkStaticDataStruct& StaticData, FHostSubjectSnapshot& Subject)
{
	if (const FLiveLinkTransformStaticData* Transform = StaticData.Cast<FLiveLinkTransformStaticData>())
	{
		Subject.bIsLocationSupported = Transform->bIsLocationSupported;
		Subject.bIsRotationSupported = Transform->bIsRotationSupported;
		Subject.bIsScaleSupported = Transform->bIsScaleSupported;
	}
	if (const FLiveLinkCameraStaticData* Camera = StaticData.Cast<FLiveLinkCameraStaticData>())
	{
		Subject.bIsFieldOfViewSupported = Camera->bIsFieldOfViewSupported;
		Subject.bIsAspectRatioSupported = Camera->bIsAspectRatioSupported;
		Subject.bIsFocalLengthSupported = Camera->bIsFocalLengthSupported;
		Subject.bIsFocusDistanceSupported = Camera->bIsFocusDistanceSupported;
		Subject.bIsApertureSupported = Camera->bIsApertureSupported;
	}
}

void DescribeCameras(const FStandInCameraComponent& Camera, const FStandInCineCameraComponent& CineCamera, FHostSubjectSnapshot& Subject)
{
	Subject.Camera = FHostCameraSnapshot{Camera.GetFieldOfView(), Camera.GetAspectRatio()};
	Subject.CineCamera = FHostCineCameraSnapshot{CineCamera.GetCurrentFocalLength(), CineCamera.GetFieldOfView(), CineCamera.GetCurrentAperture(),
	                                             CineCamera.GetManualFocusDistance()};
}
} // namespace

FHostSnapshotBuilder::FHostSnapshotBuilder(FLiveLinkClient& InClient, const FTakeRecorder& InTakeRecorder)
    : Client(InClient)
    , TakeRecorder(InTakeRecorder)
{
	FramePushedHandle = Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateRaw(this, &FHostSnapshotBuilder::HandleFramePushed));
}

FHostSnapshotBuilder::~FHostSnapshotBuilder() { Client.UnregisterForFramePushed(FramePushedHandle); }

void FHostSnapshotBuilder::HandleFramePushed(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData)
{
	if (const FLiveLinkBaseFrameData* Frame = FrameData.GetBaseData())
	{
		LastSceneTimes[ToUtf8(SubjectKey.Source.ToString())] = Frame->MetaData.SceneTime;
	}
}

void FHostSnapshotBuilder::AddSubjects(FHostSnapshot& Snapshot)
{
	std::set<std::pair<std::string, std::string>> CameraSubjects;
	for (const FLiveLinkSubjectKey& Key : Client.GetSubjects())
	{
		FHostSubjectSnapshot& Subject = Snapshot.Subjects.emplace_back();
		Subject.SourceGuid = ToUtf8(Key.Source.ToString());
		Subject.Name = ToUtf8(Key.SubjectName.ToString());
		if (const UClass* Role = Client.GetSubjectRole(Key).Get())
		{
			Subject.Role = ToUtf8(Role->GetName());
		}
		FLiveLinkStaticDataStruct StaticData;
		if (Client.GetSubjectStaticData(Key, StaticData))
		{
			DescribeStaticData(StaticData, Subject);
		}
		Subject.bEnabled = Client.IsSubjectEnabled(Key, false);
		// The client evaluates, once a tick, the subject of each name that it enabled then.
		FLiveLinkSubjectFrameData Evaluated;
		const bool bEvaluated = Client.IsSubjectEnabled(Key, true) && Client.EvaluateFrame_AnyThread(Key.SubjectName, Client.GetSubjectRole(Key), Evaluated);
		if (bEvaluated)
		{
			Subject.Frame = FHostFrameText::Describe(Evaluated.FrameData);
		}
		std::pair<std::string, std::string> SubjectId{Subject.SourceGuid, Subject.Name};
		if (const FLiveLinkCameraStaticData* CameraStaticData = StaticData.Cast<FLiveLinkCameraStaticData>())
		{
			FSubjectCameras& Driven = Cameras[SubjectId];
			// Without an evaluated frame the cameras keep what they show, as the engine's controller, which gets no
			// frame then, leaves them: what they were made with, until the first.
			if (const FLiveLinkCameraFrameData* CameraFrame = bEvaluated ? Evaluated.FrameData.Cast<FLiveLinkCameraFrameData>() : nullptr)
			{
				FStandInLiveLinkCameraController::Tick(*CameraStaticData, *CameraFrame, Driven.Camera);
				FStandInLiveLinkCameraController::Tick(*CameraStaticData, *CameraFrame, Driven.CineCamera);
			}
			DescribeCameras(Driven.Camera, Driven.CineCamera, Subject);
			CameraSubjects.insert(std::move(SubjectId));
		}
	}
	std::erase_if(Cameras, [&CameraSubjects](const auto& Entry) { return !CameraSubjects.contains(Entry.first); });
}

std::shared_ptr<FHostSnapshot> FHostSnapshotBuilder::Build(const TArray<FHostSource>& Sources, int64_t TickCount)
{
	auto Snapshot = std::make_shared<FHostSnapshot>();
	Snapshot->TickCount = TickCount;
	const auto Now = std::chrono::steady_clock::now();
	Snapshot->TicksPerSecond = TickRate.Update(TickCount, Now);
	std::set<std::string> LiveSources;
	// By the name each source publishes now, the indices of its sources in the snapshot; names compare as the
	// client's do, ignoring case.
	TMap<FName, std::vector<size_t>> SourcesBySubjectName;
	for (const FHostSource& Entry : Sources)
	{
		FHostSourceSnapshot& Source = Snapshot->Sources.emplace_back();
		const std::string Guid = ToUtf8(Entry.Guid.ToString());
		Source.Guid = Guid;
		Source.Color = Colors.Of(Guid);
		LiveSources.insert(Guid);
		Source.Type = ToUtf8(Entry.Source->GetSourceType().ToString());
		Source.Machine = ToUtf8(Entry.Source->GetSourceMachineName().ToString());
		const FOrvidaLiveLinkConnectionSettings Options = Entry.Source->GetConnectionSettings();
		Source.bAutoLens = Options.bAutoLens;
		Source.bAutoSceneTakeUpdate = Options.bAutoSceneTakeUpdate;
		Source.bAutoRecord = Options.bAutoRecord;
		if (const auto* Settings = Cast<UOrvidaLiveLinkSourceSettings>(Client.GetSourceSettings(Entry.Guid)))
		{
			Source.Settings =
			    FHostSourceSnapshot::FSettings{ToUtf8(Settings->SubjectName), Settings->bAutoLens, Settings->bAutoSceneTakeUpdate, Settings->bAutoRecord};
		}
		SourcesBySubjectName.FindOrAdd(Entry.Source->GetSubjectName()).push_back(Snapshot->Sources.size() - 1);
		Source.Endpoint = ToUtf8(Entry.Source->GetBoundEndpoint().ToString());
		Source.Status = ToUtf8(Entry.Source->GetSourceStatus().ToString());
		const FOrvidaStreamHealth::FSnapshot Health = Entry.Source->GetStreamHealth();
		Source.Received = Health.Datagrams;
		FSourceRates& SourceRates = Rates[Guid];
		Source.ReceivedPerSecond = SourceRates.Received.Update(Health.Datagrams, Now);
		Source.Samples = Health.Ring.CommittedSamples;
		Source.Decimated = Health.Ring.DecimatedSamples;
		Source.Dropped = Health.Ring.LostSamples;
		Source.RingCount = Health.Ring.RingCount;
		Source.RingCapacity = FOrvidaSampleRing::RingCapacity;
		Source.Underruns = Health.Ring.Underruns;
		Source.Unparsed = Health.UnparsedDatagrams;
		Source.WithoutCamera = Health.DatagramsWithoutCamera;
		Source.ForeignKeys = Health.ForeignKeys;
		Source.TimecodeGaps = Health.TimecodeGaps;
		Source.TimecodeRepeats = Health.TimecodeRepeats;
		Source.JitterMilliseconds = Health.JitterMilliseconds;
		Source.InterarrivalMilliseconds = Health.InterarrivalMilliseconds;
		Source.SecondsSinceLastDatagram = Health.SecondsSinceLastDatagram;
		Source.RecentSenders = Health.RecentSenders;
		Source.LatencyMilliseconds = Entry.Source->GetPublishLatencyMilliseconds();
		// A gap of one frame is one frame lost to each sample that came, however many a run of losses took (a
		// run counts once): close enough to tell 2 % from 10 % without counting frames the receiver never saw.
		const double SamplesPerSecond = SourceRates.Samples.Update(Source.Samples, Now);
		const double LostPerSecond = SourceRates.TimecodeGaps.Update(Source.TimecodeGaps, Now) + SourceRates.Dropped.Update(Source.Dropped, Now);
		Source.LostFraction = SamplesPerSecond > 0.0 ? LostPerSecond / SamplesPerSecond : 0.0;
		Source.DecimatedPerSecond = SourceRates.Decimated.Update(Source.Decimated, Now);
		const auto Found = LastSceneTimes.find(Guid);
		if (Found != LastSceneTimes.end())
		{
			Source.bHasFrame = true;
			Source.FrameNumber = Found->second.Time.FrameNumber.Value;
			Source.RateNumerator = Found->second.Rate.Numerator;
			Source.RateDenominator = Found->second.Rate.Denominator;
		}
		Source.State = FHostStreamState::Judge(Source, Snapshot->TicksPerSecond);
		const FOrvidaLiveLinkSource::FCameraTake& CameraTake = Entry.Source->GetLastCameraTake();
		Source.bCameraTakeRead = CameraTake.bRead;
		Source.CameraSlate = ToUtf8(CameraTake.Slate);
		Source.CameraTakeNumber = ToUtf8(CameraTake.TakeNumber);
		Source.bCameraRecording = CameraTake.bRecording;
	}
	Colors.KeepOnly(LiveSources);
	for (const auto& Pair : SourcesBySubjectName)
	{
		for (const size_t Index : Pair.Value)
		{
			for (const size_t Other : Pair.Value)
			{
				if (Other != Index)
				{
					Snapshot->Sources[Index].SameSubjectNameAs.push_back(Snapshot->Sources[Other].Guid);
				}
			}
		}
	}
	if (const UTakeMetaData* MetaData = TakeRecorder.GetTakeMetaData())
	{
		Snapshot->Take.Slate = ToUtf8(MetaData->GetSlate());
		Snapshot->Take.TakeNumber = MetaData->GetTakeNumber();
	}
	AddSubjects(*Snapshot);
	Snapshot->Take.bRecording = TakeRecorder.IsRecording();
	Snapshot->Take.bPanelOpen = TakeRecorder.GetPanel() != nullptr;
	const UTakeRecorder* Active = TakeRecorder.GetActiveRecorder();
	Snapshot->Take.bCountingDown = Active != nullptr && Active->GetState() == ETakeRecorderState::CountingDown;
	Snapshot->Take.CountdownSecondsLeft = Snapshot->Take.bCountingDown ? Active->GetCountdownSeconds() : 0.0;
	FText Refusal;
	if (Active == nullptr && !TakeRecorder.CanStartRecording(Refusal))
	{
		Snapshot->Take.Refusal = ToUtf8(Refusal.ToString());
	}
	const FTakeRecorder::FTakeError Error = TakeRecorder.GetLastTakeError();
	const std::string LastError = Error.Operation == FTakeRecorder::ETakeOperation::None ? "" : ToUtf8(Error.Time + TEXT(" ") + Error.Message);
	if (Snapshot->Take.bRecording && !bWasRecording)
	{
		ErrorBeforeTake = LastError;
	}
	bWasRecording = Snapshot->Take.bRecording;
	if (LastError != ErrorBeforeTake)
	{
		Snapshot->Take.LastError = LastError;
	}
	Takes.Observe(TakeRecorder, Now);
	Snapshot->Takes = Takes.GetTakes();
	return Snapshot;
}
