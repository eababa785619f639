#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class UTakeRecorder;
class UTakeRecorderPanel;

/** Scripting access to the Take Recorder. Threads: the game thread alone. */
UCLASS()
class TAKERECORDER_API UTakeRecorderBlueprintLibrary : public UObject
{
	DECLARE_CLASS_INTRINSIC(UTakeRecorderBlueprintLibrary, UObject)

public:
	/** The open Take Recorder panel; null while it is closed or no Take Recorder exists. */
	static UTakeRecorderPanel* GetTakeRecorderPanel();
	/** Whether a take is being recorded: false while a recording counts down. */
	static bool IsRecording();
	/** The recording asked for and not yet stopped or cancelled, counting down included; null when there is none. */
	static UTakeRecorder* GetActiveRecorder();
};
