#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class FTakeRecorder;
class UTakeMetaData;

/** What the panel shows. */
UENUM(BlueprintType)
enum class ETakeRecorderPanelMode : uint8
{
	/** The next take, ready to record. */
	NewRecording,
	/** A sequence that recordings go into. */
	RecordingInto,
	/** A preset being edited. */
	EditingPreset,
	/** A take already recorded, whose metadata is locked. */
	ReviewingRecording,
};

/**
 * The Take Recorder panel as scripts and plug-ins reach it. It forwards to the recorder that opened it; once that
 * recorder closes it, it does nothing, has no metadata and cannot start. A panel stays allocated until its
 * recorder is destroyed, so a pointer kept past the closing is safe to call.
 *
 * Threads: the game thread alone.
 */
UCLASS()
class TAKERECORDER_API UTakeRecorderPanel : public UObject
{
	DECLARE_CLASS_INTRINSIC(UTakeRecorderPanel, UObject)

public:
	ETakeRecorderPanelMode GetMode() const { return Mode; }
	/** The metadata the panel shows (the reviewed take's while reviewing); null when it shows none or is closed. */
	UTakeMetaData* GetTakeMetaData() const { return TakeMetaData; }
	/** Whether StartRecording would start a take now; when not, OutErrorText says why. */
	bool CanStartRecording(FText& OutErrorText) const;
	/**
	 * Asks for a take: it counts down, then records. When it cannot start (see CanStartRecording) it records
	 * nothing and logs the reason as an Error; nothing once the panel is closed.
	 */
	void StartRecording() const;
	/** Stops the take being recorded, or cancels one counting down; nothing while there is none or once the panel is closed. */
	void StopRecording() const;

private:
	friend class FTakeRecorder;

	/** Null once closed. */
	FTakeRecorder* Recorder = nullptr;
	UTakeMetaData* TakeMetaData = nullptr;
	ETakeRecorderPanelMode Mode = ETakeRecorderPanelMode::NewRecording;
};
