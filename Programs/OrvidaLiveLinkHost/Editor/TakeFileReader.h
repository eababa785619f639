#pragma once

#include "Editor/Snapshot.h"

#include <atomic>
#include <string>

/**
 * Reads a take file as the Take Recorder writes it (StandIn/TakeRecorder.h: a slate line, a CSV header, one row a
 * frame a subject) into what the takes list shows: its rows, its frames, its duration, the sources that wrote it.
 *
 * Frames are counted per subject, a subject being its name and its source: the distinct FrameNumbers of the
 * subject with the most. A sample published again on a later tick repeats its frame number and counts once, and
 * subjects recorded side by side do not add up, so that a 30 fps take of 8 s reads about 240 whatever the tick
 * rate and the subjects. The duration runs from the earliest WorldTime to the latest.
 *
 * Bad input: a file that cannot be opened, has no header with Subject, WorldTime and FrameNumber, holds a record
 * longer than MaxRecordBytes, or a WorldTime or FrameNumber that is not a number, gives Error (with the line);
 * what was counted before it stays. Other columns are not read, so their faults go unnoticed.
 *
 * Threads: any; it keeps nothing. Stop, when set, ends the reading early with Error "stopped".
 */
class FHostTakeFileReader
{
public:
	/** A record (a row with its quoted line breaks) longer than this is no row of a take file. */
	static constexpr size_t MaxRecordBytes = 64 * 1024;

	/** FileName, Path, SizeBytes and ModifiedSeconds are left as they are. */
	static void Read(const std::string& Path, FHostTakeFileSnapshot& Take, const std::atomic<bool>* Stop = nullptr);
};
