#include "HostSnapshotBuilder.h"

#include "OrvidaLiveLinkSource.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/TakeRecorder.h"
#include "TakeMetaData.h"

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

std::shared_ptr<FHostSnapshot> FHostSnapshotBuilder::Build(const TArray<FHostSource>& Sources, int64_t TickCount) const
{
	auto Snapshot = std::make_shared<FHostSnapshot>();
	Snapshot->TickCount = TickCount;
	for (const FHostSource& Entry : Sources)
	{
		FHostSourceSnapshot& Source = Snapshot->Sources.emplace_back();
		Source.Endpoint = ToUtf8(Entry.Source->GetBoundEndpoint().ToString());
		Source.Status = ToUtf8(Entry.Source->GetSourceStatus().ToString());
		const FOrvidaSampleRing::FStats Stats = Entry.Source->GetSampleRing().GetStats();
		Source.Samples = Stats.CommittedSamples;
		Source.Dropped = Stats.DroppedSamples;
		Source.RingCount = Stats.RingCount;
		Source.RingCapacity = FOrvidaSampleRing::RingCapacity;
		std::lock_guard<std::mutex> Guard(Lock);
		const auto Found = LastSceneTimes.find(ToUtf8(Entry.Guid.ToString()));
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
