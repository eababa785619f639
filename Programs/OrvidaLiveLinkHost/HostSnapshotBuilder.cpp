#include "HostSnapshotBuilder.h"

#include "OrvidaLiveLinkSource.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/TakeRecorder.h"
#include "TakeMetaData.h"

#include <chrono>

namespace
{
std::string ToUtf8(const FString& Text) { return TCHAR_TO_UTF8(*Text); }
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
		std::lock_guard<std::mutex> Guard(Lock);
		LastSceneTimes[ToUtf8(SubjectKey.Source.ToString())] = Frame->MetaData.SceneTime;
	}
}

std::shared_ptr<FHostSnapshot> FHostSnapshotBuilder::Build(const TArray<FHostSource>& Sources, int64_t TickCount)
{
	auto Snapshot = std::make_shared<FHostSnapshot>();
	Snapshot->TickCount = TickCount;
	const auto Now = std::chrono::steady_clock::now();
	for (const FHostSource& Entry : Sources)
	{
		FHostSourceSnapshot& Source = Snapshot->Sources.emplace_back();
		const std::string Guid = ToUtf8(Entry.Guid.ToString());
		Source.Endpoint = ToUtf8(Entry.Source->GetBoundEndpoint().ToString());
		Source.Status = ToUtf8(Entry.Source->GetSourceStatus().ToString());
		const FOrvidaStreamHealth::FSnapshot Health = Entry.Source->GetStreamHealth();
		Source.Received = Health.Datagrams;
		Source.ReceivedPerSecond = ReceivedRates[Guid].Update(Health.Datagrams, Now);
		Source.Samples = Health.Ring.CommittedSamples;
		Source.Dropped = Health.Ring.DroppedSamples;
		Source.RingCount = Health.Ring.RingCount;
		Source.RingCapacity = FOrvidaSampleRing::RingCapacity;
		Source.Underruns = Health.Ring.Underruns;
		Source.Unparsed = Health.UnparsedDatagrams;
		Source.WithoutCamera = Health.DatagramsWithoutCamera;
		Source.ForeignKeys = Health.ForeignKeys;
		Source.TimecodeGaps = Health.TimecodeGaps;
		Source.TimecodeRepeats = Health.TimecodeRepeats;
		Source.JitterMilliseconds = Health.JitterMilliseconds;
		Source.SecondsSinceLastDatagram = Health.SecondsSinceLastDatagram;
		Source.RecentSenders = Health.RecentSenders;
		std::lock_guard<std::mutex> Guard(Lock);
		const auto Found = LastSceneTimes.find(Guid);
		if (Found != LastSceneTimes.end())
		{
			Source.bHasFrame = true;
			Source.FrameNumber = Found->second.Time.FrameNumber.Value;
			Source.RateNumerator = Found->second.Rate.Numerator;
			Source.RateDenominator = Found->second.Rate.Denominator;
		}
	}
	if (const UTakeMetaData* MetaData = TakeRecorder.GetTakeMetaData())
	{
		Snapshot->Take.Slate = ToUtf8(MetaData->GetSlate());
		Snapshot->Take.TakeNumber = MetaData->GetTakeNumber();
	}
	Snapshot->Take.bRecording = TakeRecorder.IsRecording();
	const FTakeRecorder::FTakeError Error = TakeRecorder.GetLastTakeError();
	if (Error.Operation != FTakeRecorder::ETakeOperation::None)
	{
		Snapshot->Take.LastError = ToUtf8(Error.Time + TEXT(" ") + Error.Message);
	}
	return Snapshot;
}
