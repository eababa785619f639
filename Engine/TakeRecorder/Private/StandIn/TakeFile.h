#pragma once

#include "CoreTypes.h"

#include <string>

/**
 * One take file being written. It is always a new file, never one that existed, and it grows a whole row at a
 * time: a row that fails part-way is cut off again. It is on disk only once Close says so.
 *
 * Threads: none of its own; the recorder's FileLock guards it.
 */
class FTakeFile
{
public:
	/**
	 * A take never numbers past this suffix: a directory that already holds that many files of one name is more
	 * likely a fault than a real shoot, and a bound keeps the search for a free name from running on.
	 */
	static constexpr int32 MaxNameSuffix = 9999;

	/** Why a step failed: the file or directory it concerns, and the reason in words with the system's text. */
	struct FError
	{
		std::string Path;
		std::string Message;
	};

	FTakeFile() = default;
	/** Closes a file still open, without a word: a take that matters is closed with Close. */
	~FTakeFile();
	FTakeFile(const FTakeFile&) = delete;
	FTakeFile& operator=(const FTakeFile&) = delete;

	/**
	 * Makes Directory with its parents, then a new file in it named BaseName.csv, or BaseName_2.csv, _3… when the
	 * name is taken. False, with the reason in OutError, when the directory or the file cannot be made (a path
	 * that is a regular file, no permission, a read-only file system, every suffix taken), or when this file
	 * was opened before.
	 */
	bool Open(const std::string& Directory, const std::string& BaseName, FError& OutError);
	/** Appends Row (whole lines, with their line breaks). False, with the reason in OutError, when not open or when the write fails. */
	bool WriteRow(const std::string& Row, FError& OutError);
	/**
	 * Flushes the file and then its directory to disk (so that the take survives a power cut) and closes it. False,
	 * with the first reason in OutError, when a flush or the close fails: what was written may not all be on disk.
	 * True when not open.
	 */
	bool Close(FError& OutError);

	bool IsOpen() const { return FileDescriptor >= 0; }
	/** The file's path; empty before the first Open succeeds. */
	const std::string& GetPath() const { return Path; }

private:
	/** Sets OutError to "cannot <What> '<ErrorPath>': <the text of errno>" and returns false. */
	static bool Fail(const std::string& What, const std::string& ErrorPath, FError& OutError);

	int FileDescriptor = -1;
	std::string Directory;
	std::string Path;
	/** Bytes of whole rows written so far: where a failed row is cut back to. */
	int64 Size = 0;
};
