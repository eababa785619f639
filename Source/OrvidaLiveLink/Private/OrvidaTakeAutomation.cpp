#include "OrvidaTakeAutomation.h"

#include "OrvidaLiveLinkLog.h"
#include "Recorder/TakeRecorderBlueprintLibrary.h"
#include "Recorder/TakeRecorderPanel.h"
#include "TakeMetaData.h"

FOrvidaTakeAutomation::FOrvidaTakeAutomation(bool bInAutoSceneTakeUpdate, bool bInAutoRecord)
    : bAutoSceneTakeUpdate(bInAutoSceneTakeUpdate)
    , bAutoRecord(bInAutoRecord)
{
}

void FOrvidaTakeAutomation::SetOptions(bool bInAutoSceneTakeUpdate, bool bInAutoRecord)
{
	bAutoSceneTakeUpdate = bInAutoSceneTakeUpdate;
	bAutoRecord = bInAutoRecord;
}

void FOrvidaTakeAutomation::Run(const FOrvidaCameraSample& DueSample)
{
	const bool bRecordingWanted = DueSample.State == RecordingState;
	if (!bRecordingWanted)
	{
		// The camera take is over: nothing is left to start, and a refusal of its next take is news again.
		bStartPending = false;
		bRefusalLogged = false;
	}
	// While the camera records, the panel is looked up on every pass: a panel closed meanwhile took the take with
	// it, and the one opened next must get it again.
	const bool bWatchPanel = bAutoRecord && bRecordingWanted;
	const bool bMetadataChanged = HasMetadataChanged(DueSample);
	const bool bHasWork = bStartPending || bMetadataChanged || bLastStateRecording != bRecordingWanted;
	if (!bWatchPanel && !bHasWork)
	{
		return;
	}
	UTakeRecorderPanel* Panel = UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel();
	if (Panel == nullptr)
	{
		for (FString& Text : LastMetadata)
		{
			Text.Empty();
		}
		bLastStateRecording = false;
		bStartPending = false;
		return;
	}
	if (!bHasWork)
	{
		return;
	}
	// Written only when the camera changed it, so that a slate the user mends for a pending start stays.
	if (bAutoSceneTakeUpdate && bMetadataChanged)
	{
		WriteMetaData(*Panel, DueSample);
	}
	if (bAutoRecord)
	{
		if (bRecordingWanted && (bStartPending || !bLastStateRecording))
		{
			bStartPending = !TryStart(*Panel);
		}
		else if (!bRecordingWanted && UTakeRecorderBlueprintLibrary::GetActiveRecorder() != nullptr)
		{
			// A take still counting down is stopped too: the editor cancels it, so no recording outlives the camera's.
			Panel->StopRecording();
		}
	}
	bLastStateRecording = bRecordingWanted;
}

bool FOrvidaTakeAutomation::HasMetadataChanged(const FOrvidaCameraSample& DueSample) const
{
	for (int32 Index = 0; Index < 3; ++Index)
	{
		if (!DueSample.Metadata[Index].Equals(LastMetadata[Index], ESearchCase::CaseSensitive))
		{
			return true;
		}
	}
	return false;
}

void FOrvidaTakeAutomation::WriteMetaData(const UTakeRecorderPanel& Panel, const FOrvidaCameraSample& DueSample)
{
	UTakeMetaData* TakeMetaData = Panel.GetTakeMetaData();
	if (TakeMetaData == nullptr)
	{
		return;
	}
	const FString& Slate = DueSample.Metadata[1];
	if (Slate.Len() > MaxSlateCharacters)
	{
		if (!Slate.Equals(RefusedSlate, ESearchCase::CaseSensitive))
		{
			UE_LOG(ModuleLog, Warning, TEXT("The camera's slate of %d characters was not written to the Take Recorder; it takes at most %d."), Slate.Len(),
			       MaxSlateCharacters);
			RefusedSlate = Slate;
		}
		return;
	}
	const int32 TakeNumber = FCString::Atoi(*DueSample.Metadata[2]);
	TakeMetaData->SetSlate(Slate, true);
	TakeMetaData->SetTakeNumber(TakeNumber, true);
	// A reviewed or locked take ignores both writes; a number below 1 is one the Take Recorder may raise, so only
	// a usable number is held to its read-back.
	const bool bTaken = TakeMetaData->GetSlate().Equals(Slate, ESearchCase::CaseSensitive) && (TakeNumber < 1 || TakeMetaData->GetTakeNumber() == TakeNumber);
	if (bTaken)
	{
		for (int32 Index = 0; Index < 3; ++Index)
		{
			LastMetadata[Index] = DueSample.Metadata[Index];
		}
	}
}

bool FOrvidaTakeAutomation::TryStart(const UTakeRecorderPanel& Panel)
{
	// One started by hand, or one already counting down, is left as it is.
	if (UTakeRecorderBlueprintLibrary::GetActiveRecorder() != nullptr)
	{
		return true;
	}
	FText Reason;
	if (!Panel.CanStartRecording(Reason))
	{
		if (!bRefusalLogged)
		{
			UE_LOG(ModuleLog, Warning,
			       TEXT("The camera is recording, but the Take Recorder will not start a take. %s The take starts as soon as the Take Recorder can start it, "
			            "while the camera records."),
			       *Reason.ToString());
			bRefusalLogged = true;
		}
		return false;
	}
	Panel.StartRecording();
	return UTakeRecorderBlueprintLibrary::GetActiveRecorder() != nullptr;
}
