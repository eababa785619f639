// The host's Take Recorder, which the engine's editor has in its own form: the panel that scripts reach, the take
// metadata, and the take files. Only the stand-in has this class; the plug-in reaches the recorder through
// UTakeRecorderBlueprintLibrary and UTakeRecorderPanel, as it does in the editor.
//
// While recording, every frame that the attached Live Link client accepts, for every subject, becomes one row of
// the take file, in the order the frames arrive. A take file is UTF-8 text. Its first line holds the whole slate and
// the take number, whatever the file name could keep of them:
//
//   # Slate: <the slate>, Take: <the take number>
//
// The slate is written as it is, except that '\' is written "\\" and a carriage return and a line feed are written
// "\r" and "\n", so that the line stays one line; the take number is what follows the last ", Take: ". The rest
// of the file is CSV with a header row and these columns, read by any CSV reader that skips lines starting
// with '#':
//
//   Subject, WorldTime (the frame's time on the engine clock, in seconds),
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
// among them (an empty one too) reads as "Take". A take file is never overwritten: when the name is taken, the
// file becomes A004_012_2.csv, then _3 and so on.
//
// A take is kept whole when every frame it was given is a row of its file and the file and its directory entry
// have reached the disk (fsync) and the file closed without an error, which StopRecording checks and reports.
// A file that cannot be created, or written, ends the recording; a row that was only partly written is cut off,
// so the file holds its slate line, its header and every whole row before the error, and it is still flushed and
// closed. Each failure writes one Error line in LogTakeRecorder and becomes the last error (GetLastTakeError):
// what failed, why, the file or directory, and when. The last error stays until the next failure replaces it.
//
// Threads: everything here belongs to the game thread, except that frames arrive on whatever thread pushed them
// to the client, and IsRecording, GetTakeFilePath, GetTakeFrameCount and GetLastTakeError may be called on any
// thread. FileLock keeps the take file whole between the pushing threads and StartRecording and StopRecording,
// and guards the last error.
#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "LiveLinkTypes.h"
#include "StandIn/LiveLinkClient.h"

#include <atomic>
#include <memory>

class FTakeFile;
class UTakeMetaData;
class UTakeRecorderPanel;

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

	/** Opens the panel, showing the take metadata when bWithMetaData; a panel already open is returned as it is. */
	UTakeRecorderPanel* OpenPanel(bool bWithMetaData = true);
	/** Closes the panel, which stops a recording (the panel is what drives it); nothing when it is closed. */
	void ClosePanel();
	/** The open panel, or null. */
	UTakeRecorderPanel* GetPanel() const { return OpenedPanel; }
	/** The metadata that names the next take; it exists whether or not a panel shows it. */
	UTakeMetaData* GetTakeMetaData() const { return TakeMetaData.Get(); }

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

	/**
	 * Starts a take file and records into it. False, doing nothing, while recording; false with an Error line and the
	 * last error when the file cannot be made or its first lines written.
	 */
	bool StartRecording();
	/**
	 * Flushes the take file to disk and closes it. True when the take was kept whole; false with an Error line and
	 * the last error when the flush or the close fails. False, doing nothing, while not recording, which includes a
	 * take that a write error ended (the last error says so).
	 */
	bool StopRecording();
	/** True from a start that succeeded until the stop, or until a write error ends the take. */
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
		int64 StartRequests = 0;
		int64 StopRequests = 0;
	};
	FScriptCallCounts GetScriptCallCounts() const;
	/** Called by the script-facing classes on each call; any thread. */
	void CountPanelLookup() { PanelLookups.fetch_add(1, std::memory_order_relaxed); }
	void CountRecordingQuery() { RecordingQueries.fetch_add(1, std::memory_order_relaxed); }
	void CountStartRequest() { StartRequests.fetch_add(1, std::memory_order_relaxed); }
	void CountStopRequest() { StopRequests.fetch_add(1, std::memory_order_relaxed); }

	/** The file of the take being or last recorded; empty before the first take. */
	FString GetTakeFilePath() const;
	/** Frames written to the take being or last recorded. */
	int32 GetTakeFrameCount() const;

private:
	void HandleFramePushed(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData);

	TSharedPtr<UTakeMetaData> TakeMetaData;
	/** Every panel opened, closed ones included, so that a pointer kept past closing stays valid. */
	TArray<TSharedPtr<UTakeRecorderPanel>> Panels;
	UTakeRecorderPanel* OpenedPanel = nullptr;
	FString TakesDirectory;

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
	std::atomic<int64> StartRequests{0};
	std::atomic<int64> StopRequests{0};
};
