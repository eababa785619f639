#pragma once

#include "CoreMinimal.h"
#include "OrvidaCameraSample.h"

/**
 * Drives the editor's Take Recorder from the camera application's take metadata and recording state: the
 * slate and take number under bAutoSceneTakeUpdate, start and stop of recordings under bAutoRecord. It calls
 * the Take Recorder only when the metadata or the recording state changed since it last reached a panel.
 *
 * Threads: the game thread alone, inside the publishing pass.
 */
class FOrvidaTakeAutomation
{
public:
	FOrvidaTakeAutomation(bool bInAutoSceneTakeUpdate, bool bInAutoRecord);

	/**
	 * One automation pass for the due sample. Without an open Take Recorder panel nothing is remembered, so
	 * that a later pass with the same sample tries again; a panel without take metadata gets no slate or take.
	 */
	void Run(const FOrvidaCameraSample& DueSample);

private:
	bool HasChanged(const FOrvidaCameraSample& DueSample, bool bRecordingWanted) const;

	bool bAutoSceneTakeUpdate;
	bool bAutoRecord;
	/** The metadata strings as last written to the Take Recorder. */
	FString LastMetadata[3];
	/** Whether the state seen by the last pass that reached a panel asked for a recording. */
	bool bLastStateRecording = false;
};
