#include "Recorder/TakeRecorderPanel.h"

#include "StandIn/TakeRecorder.h"
#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(UTakeRecorderPanel)

void UTakeRecorderPanel::StartRecording() const
{
	if (Recorder != nullptr)
	{
		Recorder->CountStartRequest();
		Recorder->StartRecording();
	}
}

void UTakeRecorderPanel::StopRecording() const
{
	if (Recorder != nullptr)
	{
		Recorder->CountStopRequest();
		Recorder->StopRecording();
	}
}
