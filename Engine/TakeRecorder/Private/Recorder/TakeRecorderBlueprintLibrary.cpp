#include "Recorder/TakeRecorderBlueprintLibrary.h"

#include "StandIn/TakeRecorder.h"
#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(UTakeRecorderBlueprintLibrary)

UTakeRecorderPanel* UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel()
{
	FTakeRecorder* Recorder = FTakeRecorder::Get();
	if (Recorder == nullptr)
	{
		return nullptr;
	}
	Recorder->CountPanelLookup();
	return Recorder->GetPanel();
}

bool UTakeRecorderBlueprintLibrary::IsRecording()
{
	FTakeRecorder* Recorder = FTakeRecorder::Get();
	if (Recorder == nullptr)
	{
		return false;
	}
	Recorder->CountRecordingQuery();
	return Recorder->IsRecording();
}

UTakeRecorder* UTakeRecorderBlueprintLibrary::GetActiveRecorder()
{
	FTakeRecorder* Recorder = FTakeRecorder::Get();
	if (Recorder == nullptr)
	{
		return nullptr;
	}
	Recorder->CountActiveRecorderQuery();
	return Recorder->GetActiveRecorder();
}
