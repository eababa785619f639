#include "Recorder/TakeRecorder.h"

#include "StandIn/TakeRecorder.h"
#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(UTakeRecorder)

UTakeRecorder* UTakeRecorder::GetActiveRecorder()
{
	FTakeRecorder* Owner = FTakeRecorder::Get();
	return Owner != nullptr ? Owner->GetActiveRecorder() : nullptr;
}

void UTakeRecorder::Stop()
{
	if (Recorder != nullptr)
	{
		Recorder->StopRecording();
	}
}
