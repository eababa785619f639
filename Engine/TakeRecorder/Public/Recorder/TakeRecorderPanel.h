#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class FTakeRecorder;
class UTakeMetaData;

/**
 * The Take Recorder panel as scripts and plug-ins reach it. It forwards to the recorder that opened it; once that
 * recorder closes it, it does nothing and has no metadata. A panel stays allocated until its recorder is
 * destroyed, so a pointer kept past the closing is safe to call.
 *
 * Threads: the game thread alone.
 */
UCLASS()
class TAKERECORDER_API UTakeRecorderPanel : public UObject
{
	DECLARE_CLASS_INTRINSIC(UTakeRecorderPanel, UObject)

public:
	/** The metadata of the next take; null when the panel shows none or is closed. */
	UTakeMetaData* GetTakeMetaData() const { return TakeMetaData; }
	/** Starts recording a take; nothing while one is being recorded or once the panel is closed. */
	void StartRecording() const;
	/** Stops the take being recorded; nothing while none is or once the panel is closed. */
	void StopRecording() const;

private:
	friend class FTakeRecorder;

	/** Null once closed. */
	FTakeRecorder* Recorder = nullptr;
	UTakeMetaData* TakeMetaData = nullptr;
};
