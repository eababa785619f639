// The host's Take Recorder, which the engine's editor has in its own form: the panel that scripts reach, the take
// metadata, and the take files. Only the stand-in has this class; the plug-in reaches the recorder through
// UTakeRecorderBlueprintLibrary, UTakeRecorderPanel and UTakeRecorder, as it does in the editor.
//
// A take is asked for with StartRecording, as the panel's button asks. It is refused, with one Error line in
// LogTakeRecorder and nothing recorded, while a take is counting down or recording, while the panel reviews a
// take, while no source is enabled, and when the slate is empty or cannot name an asset (a space, a tab, a line
// break, or any of . , ' & ! ~ @ # \ : * ? " < > |). A take that is accepted counts down (3 s unless set
// otherwise; IsRecording is false meanwhile, GetActiveRecorder is not null), and starts recording on the first
// Tick that finds the countdown run out, so a countdown of 0 starts on the next Tick. A stop while it counts down
// cancels it: no file, and the take number stays. Once a take that recorded ends, the take number moves on by one.
//
// While recording, every frame that the attached Live Link client accepts, for every subject, becomes one row of
// the take file, in the order the client takes the frames in. A take file is UTF-8 text. Its first line holds the whole slate and
// the take number, whatever the file name could keep of them:
//
//   # Slate: <the slate>, Take: <the take number>
//
// The slate is written as it is, except that '\' is written "\\" and a carriage return and a line feed are written
// "\r" and "\n", so that the line stays one line; the take number is what follows the last ", Take: ". The rest
// of the file is CSV with a header row and these columns, read by any CSV reader that skips lines starting
// with '#':
//
//   Subject, Source (the guid of the subject's source, 32 hex digits, as FGuid::ToString writes it: subjects of
//   several sources may share a name, and the subject key is the pair), WorldTime (the frame's time on the engine
//   clock, in seconds),
//   FrameNumber, SubFrame, RateNumerator, RateDenominator (the frame's scene time),
//   LocationX, LocationY, LocationZ, RotationX, RotationY, RotationZ, RotationW, ScaleX, ScaleY, ScaleZ,
//   FieldOfView, AspectRatio, FocalLength, Aperture, FocusDistance
//
// The transform columns are empty for a frame without a transform, and the lens columns for a frame that is not
// a camera frame. Numbers are written in the shortest form that reads back to the same value. A subject name
// with a comma, a quote or a line break is quoted, with its quotes doubled.
//
// The file is named from the slate and take number when the recording starts: Slate_TakeNumber.csv, the number
// with at least three digits (A004_012.csv). The slate keeps its ASCII letters and digits, '-' and '_'; anything
// else becomes '_'. It is cut to its first 235 characters, so that the name with the longest take number and
// suffix ("_2147483647_9999.csv") still fits the 255 bytes of a file name; a slate without a letter or digit
// among them reads as "Take". A take file is never overwritten: when the name is taken, the
// file becomes A004_012_2.csv, then _3 and so on.
//
// A take is kept whole when every frame it was given is a row of its file and the file and its directory entry
// have reached the disk (fsync) and the file closed without an error, which StopRecording checks and reports.
// A file that cannot be created, or written, ends the recording; a row that was only partly written is cut off,
// so the file holds its slate line, its header and every whole row before the error, and it is still flushed and
// closed. Each failure writes one Error line in LogTakeRecorder and becomes the last error (GetLastTakeError):
// what failed, why, the file or directory, and when. The last error stays until the next failure replaces it.
//
// Threads: everything here belongs to the game thread (the countdown, the active recording and its Tick among
// it); frames arrive there too, from inside the client's tick, which takes in what sources pushed from any thread.
// IsRecording, GetTakeFilePath, GetTakeFrameCount and GetLastTakeError may be called on any thread: FileLock keeps
// the take file and its counts whole for them, and guards the last error.
#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "LiveLinkTypes.h"
#include "Recorder/TakeRecorder.h"
#include "StandIn/LiveLinkClient.h"

#include <atomic>
#include <memory>

class FTakeFile;
class UTakeMetaData;
class UTakeRecorder;
class UTakeRecorderPanel;
enum class ETakeRecorderPanelMode : uint8;

class TAKERECORDER_API FTakeRecorder
{
public:
	/** The new recorder becomes the one that UTakeRecorderBlueprintLibrary reaches (the host makes one). */
	FTakeRecorder();
	/** Detaches from the client, stops a recording, closes the panel, and stops being the recorder scripts reach. */
	~FTakeRecorder();
	FTakeRecorder(const FTakeRecorder&) = delete;
	FTakeRecorder& operator=(const FTakeRecorder&) = delete;

	/** The recorder made last, or null once it is destroyed (an older one still alive is not reached again). */
	static FTakeRecorder* Get();

	/**
	 * Opens the panel on a new recording, showing the take metadata when bWithMetaData; a panel already open is
	 * returned as it is.
	 */
	UTakeRecorderPanel* OpenPanel(bool bWithMetaData = true);
	/** Closes the panel, which stops or cancels a take (the panel is what drives it); nothing when it is closed. */
	void ClosePanel();
	/** The open panel, or null. */
	UTakeRecorderPanel* GetPanel() const { return OpenedPanel; }
	/**
	 * Shows Mode in the open panel. Reviewing shows the last take's slate and number, locked, in place of the next
	 * take's; any other mode shows the next take's metadata again. Nothing while the panel is closed.
	 */
	void SetPanelMode(ETakeRecorderPanelMode Mode);
	/** The metadata that names the next take; it exists whether or not a panel shows it. */
	UTakeMetaData* GetTakeMetaData() const { return TakeMetaData.Get(); }

	/** Whether any Take Recorder source is enabled to record from; true unless switched off. */
	void SetSourcesEnabled(bool bEnabled) { bSourcesEnabled = bEnabled; }
	bool AreSourcesEnabled() const { return bSourcesEnabled; }

	/** The countdown of the takes asked for from now on, in seconds; a negative or non-finite value counts as 0. */
	void SetCountdownSeconds(float Seconds);
	float GetCountdownSeconds() const { return CountdownSeconds; }
	/** Counts the active take down by DeltaSeconds and starts recording it once the countdown has run out. */
	void Tick(float DeltaSeconds);
	/** The take asked for and not yet stopped or cancelled, counting down included; null when there is none. */
	UTakeRecorder* GetActiveRecorder() const { return ActiveRecorder; }

	/**
	 * Where take files go, made when a recording starts; an empty text restores the default, Saved/Takes under the
	 * current directory. A change applies from the next take.
	 */
	void SetTakesDirectory(const FString& Directory);
	const FString& GetTakesDirectory() const { return TakesDirectory; }

	/** Records the frames that Client accepts from now on; detaches from a client attached before. Client must outlive the attachment. */
	void AttachToClient(FLiveLinkClient& Client);
	/** Waits for a frame being written to finish; nothing when not attached. */
	void DetachFromClient();

	/** Whether StartRecording would accept a take now; when not, OutErrorText says why. */
	bool CanStartRecording(FText& OutErrorText) const;
	/**
	 * Asks for a take named by the metadata as it is now, which counts down and then records. False, recording
	 * nothing, with an Error line giving the reason, when CanStartRecording refuses. When the countdown has run out,
	 * Tick starts the take file; a file that cannot be made or its first lines written ends the take there, with
	 * an Error line and the last error.
	 */
	bool StartRecording();
	/**
	 * Cancels a take counting down (false: nothing was recorded), or flushes the take file to disk and closes it:
	 * true when the take was kept whole; false with an Error line and the last error when the flush or the close
	 * fails. False, doing nothing, while there is no take, and for a take that a write error ended (the last error
	 * says so).
	 */
	bool StopRecording();
	/** True from the start of a take's file until the stop, or until a write error ends the take; false while counting down. */
	bool IsRecording() const { return bRecording.load(std::memory_order_acquire); }

	/** The step of a take that failed. */
	enum class ETakeOperation : uint8
	{
		/** Nothing has failed yet. */
		None,
		/** Making the directory or the file, or writing its first lines. */
		Start,
		/** Writing a frame's row; the take ended there. */
		Write,
		/** Flushing the file or its directory to disk, or closing the file. */
		Stop,
	};
	/** The last failure of this recorder. */
	struct FTakeError
	{
		ETakeOperation Operation = ETakeOperation::None;
		/** What failed and why, ending with the system's text for the error where there is one ("No space left on device"). */
		FString Message;
		/** The file or directory it concerns: the take file, or the takes directory when the fault is the directory's. */
		FString Path;
		/** When it failed, in UTC, ISO 8601 to the millisecond: 2024-05-17T09:41:07.250Z. */
		FString Time;
	};
	/** A copy of the last failure; Operation None before any. */
	FTakeError GetLastTakeError() const;

	/** How often scripts reached this recorder through UTakeRecorderBlueprintLibrary and the panel. */
	struct FScriptCallCounts
	{
		int64 PanelLookups = 0;
		int64 RecordingQueries = 0;
		int64 ActiveRecorderQueries = 0;
		int64 StartChecks = 0;
		int64 StartRequests = 0;
		int64 StopRequests = 0;
	};
	FScriptCallCounts GetScriptCallCounts() const;
	/** Called by the script-facing classes on each call; any thread. */
	void CountPanelLookup() { PanelLookups.fetch_add(1, std::memory_order_relaxed); }
	void CountRecordingQuery() { RecordingQueries.fetch_add(1, std::memory_order_relaxed); }
	void CountActiveRecorderQuery() { ActiveRecorderQueries.fetch_add(1, std::memory_order_relaxed); }
	void CountStartCheck() { StartChecks.fetch_add(1, std::memory_order_relaxed); }
	void CountStartRequest() { StartRequests.fetch_add(1, std::memory_order_relaxed); }
	void CountStopRequest() { StopRequests.fetch_add(1, std::memory_order_relaxed); }

	/** The file of the take being or last recorded; empty before the first take. */
	FString GetTakeFilePath() const;
	/** Frames written to the take being or last recorded. */
	int32 GetTakeFrameCount() const;

private:
	friend class UTakeRecorder;

	/** Opens the active take's file; on failure ends the take with an Error line and the last error. */
	void BeginTake();
	/** Ends the active take as State; a take that recorded moves the take number on. */
	void EndTake(ETakeRecorderState State);
	void HandleFramePushed(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData);

	TSharedPtr<UTakeMetaData> TakeMetaData;
	/** The last take's metadata, locked, as a panel reviewing it shows it. */
	TSharedPtr<UTakeMetaData> ReviewedMetaData;
	/** Every panel opened, closed ones included, so that a pointer kept past closing stays valid. */
	TArray<TSharedPtr<UTakeRecorderPanel>> Panels;
	UTakeRecorderPanel* OpenedPanel = nullptr;
	bool bPanelShowsMetaData = true;
	FString TakesDirectory;
	bool bSourcesEnabled = true;

	float CountdownSeconds = 3.0f;
	/** Every take asked for, ended ones included, so that a pointer kept past the end stays valid. */
	TArray<TSharedPtr<UTakeRecorder>> Takes;
	UTakeRecorder* ActiveRecorder = nullptr;
	/** The slate and number of the active take (of the last one once it has ended), as they were when it was asked for. */
	FString ActiveSlate;
	int32 ActiveTakeNumber = 1;

	FLiveLinkClient* AttachedClient = nullptr;
	FDelegateHandle FramePushedHandle;

	/** Protects TakeFile, TakeFilePath, TakeFrameCount and LastError, and the changes of bRecording. */
	mutable FCriticalSection FileLock;
	std::unique_ptr<FTakeFile> TakeFile;
	FString TakeFilePath;
	int32 TakeFrameCount = 0;
	FTakeError LastError;
	/** Read without the lock, so that a frame arriving while nothing records costs no lock. */
	std::atomic<bool> bRecording{false};

	std::atomic<int64> PanelLookups{0};
	std::atomic<int64> RecordingQueries{0};
	std::atomic<int64> ActiveRecorderQueries{0};
	std::atomic<int64> StartChecks{0};
	std::atomic<int64> StartRequests{0};
	std::atomic<int64> StopRequests{0};
};
