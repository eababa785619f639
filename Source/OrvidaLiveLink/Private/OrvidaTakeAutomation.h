#pragma once

#include "CoreMinimal.h"
#include "OrvidaCameraSample.h"

class UTakeRecorderPanel;

/**
 * Drives the editor's Take Recorder from the camera application's take metadata and recording state: the
 * slate and take number under bAutoSceneTakeUpdate, start and stop of recordings under bAutoRecord.
 *
 * It calls the Take Recorder when the metadata or the recording state changed since it last reached a panel,
 * while a start is pending, and, while the camera records with bAutoRecord, once a pass to look the panel up.
 * The editor is stricter than it looks: a take counts down before it records (IsRecording is false meanwhile),
 * it refuses to start for many reasons (an empty slate or one with a space, a take under review, no source),
 * and a reviewed or locked take ignores metadata writes. So a stop goes to any active recorder, counting down
 * included; a start is asked only when the panel says it can start, its refusal is logged once per camera take
 * and the start stays pending while the camera records; metadata counts as written only once it reads back.
 *
 * Threads: the game thread alone, inside the publishing pass.
 */
class FOrvidaTakeAutomation
{
public:
	/** The camera application's state value while it records. */
	static constexpr int32 RecordingState = 2;

	FOrvidaTakeAutomation(bool bInAutoSceneTakeUpdate, bool bInAutoRecord);
	/** Changes the options from the next pass; what was remembered of the take stays. */
	void SetOptions(bool bInAutoSceneTakeUpdate, bool bInAutoRecord);

	/**
	 * One automation pass for the due sample. Without an open Take Recorder panel nothing is remembered, so that a
	 * panel opened later gets the slate, the take number and, while the camera records, the start; a panel without
	 * take metadata gets no slate or take.
	 */
	void Run(const FOrvidaCameraSample& DueSample);

private:
	/** Whether a metadata string differs from the one last written and read back. */
	bool HasMetadataChanged(const FOrvidaCameraSample& DueSample) const;
	/** Writes slate and take number; remembers them only once the metadata reads them back. A slate over MaxSlateCharacters is not written, with a Warning
	 * once. */
	void WriteMetaData(const UTakeRecorderPanel& Panel, const FOrvidaCameraSample& DueSample);
	/** True once a recorder is active, whether this start made it or one was already there. */
	bool TryStart(const UTakeRecorderPanel& Panel);

	bool bAutoSceneTakeUpdate;
	bool bAutoRecord;
	/** The metadata strings as last written to, and read back from, the Take Recorder. */
	FString LastMetadata[3];
	/** Whether the state seen by the last pass that reached a panel asked for a recording. */
	bool bLastStateRecording = false;
	/**
	 * The longest slate written, in characters. A datagram can carry a slate of some 65,000; a slate names the take's
	 * assets, whose paths the engine caps near this (5.x refuses paths over 260 characters).
	 */
	static constexpr int32 MaxSlateCharacters = 256;
	/** The last slate refused for its length, so that it is told once. */
	FString RefusedSlate;
	/** The camera records and its take has not started yet: each pass asks again. */
	bool bStartPending = false;
	/** A refusal was logged during the camera's current take. */
	bool bRefusalLogged = false;
};
