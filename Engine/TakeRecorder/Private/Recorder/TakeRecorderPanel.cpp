#include "Recorder/TakeRecorderPanel.h"

#include "StandIn/TakeRecorder.h"
#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(UTakeRecorderPanel)

bool UTakeRecorderPanel::CanStartRecording(FText& OutErrorText) const
{
	if (Recorder == nullptr)
	{
		OutErrorText = FText::FromString(TEXT("The take cannot start: the Take Recorder panel is closed."));
		return false;
	}
	Recorder->CountStartCheck();
	return Recorder->CanStartRecording(OutErrorText);
}

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
