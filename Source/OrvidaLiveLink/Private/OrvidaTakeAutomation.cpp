#include "OrvidaTakeAutomation.h"

#include "Recorder/TakeRecorderBlueprintLibrary.h"
#include "Recorder/TakeRecorderPanel.h"
#include "TakeMetaData.h"

namespace OrvidaTakeAutomation
{
// The camera application's state value while it records.
constexpr int32 RecordingState = 2;
} // namespace OrvidaTakeAutomation

FOrvidaTakeAutomation::FOrvidaTakeAutomation(bool bInAutoSceneTakeUpdate, bool bInAutoRecord)
	: bAutoSceneTakeUpdate(bInAutoSceneTakeUpdate)
	, bAutoRecord(bInAutoRecord)
{
}

void FOrvidaTakeAutomation::Run(const FOrvidaCameraSample& DueSample)
{
	const bool bRecordingWanted = DueSample.State == OrvidaTakeAutomation::RecordingState;
	if (!HasChanged(DueSample, bRecordingWanted))
	{
		return;
	}
	UTakeRecorderPanel* Panel = UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel();
	if (Panel == nullptr)
	{
		return;
	}
	if (bAutoSceneTakeUpdate)
	{
		if (UTakeMetaData* TakeMetaData = Panel->GetTakeMetaData())
		{
			TakeMetaData->SetSlate(DueSample.Metadata[1], true);
			TakeMetaData->SetTakeNumber(FCString::Atoi(*DueSample.Metadata[2]), true);
			for (int32 Index = 0; Index < 3; ++Index)
			{
				LastMetadata[Index] = DueSample.Metadata[Index];
			}
		}
	}
	if (bAutoRecord)
	{
		const bool bIsRecording = UTakeRecorderBlueprintLibrary::IsRecording();
		// A recording started by hand while one is wanted is left alone.
		if (bRecordingWanted && !bIsRecording)
		{
			Panel->StartRecording();
		}
		else if (!bRecordingWanted && bIsRecording)
		{
			Panel->StopRecording();
		}
	}
	bLastStateRecording = bRecordingWanted;
}

bool FOrvidaTakeAutomation::HasChanged(const FOrvidaCameraSample& DueSample, bool bRecordingWanted) const
{
	for (int32 Index = 0; Index < 3; ++Index)
	{
		if (!DueSample.Metadata[Index].Equals(LastMetadata[Index], ESearchCase::CaseSensitive))
		{
			return true;
		}
	}
	return bLastStateRecording != bRecordingWanted;
}
