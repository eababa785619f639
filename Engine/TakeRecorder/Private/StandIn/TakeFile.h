#pragma once

#include "CoreTypes.h"

#include <string>

/**
 * One take file being written. It is always a new file, never one that existed, and it grows a whole row at a
 * time: a row that fails part-way is cut off again.
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

	FTakeFile() = default;
	~FTakeFile() { Close(); }
	FTakeFile(const FTakeFile&) = delete;
	FTakeFile& operator=(const FTakeFile&) = delete;

	/**
	 * Makes Directory with its parents, then a new file in it named BaseName.csv, or BaseName_2.csv, _3… when the
	 * name is taken. False, with the reason in OutError, when the directory or the file cannot be made (a path
	 * that is a regular file, no permission, every suffix taken). Closes a file that was open first.
	 */
	bool Open(const std::string& Directory, const std::string& BaseName, std::string& OutError);
	/** Appends Row (whole lines, with their line breaks). False, with the reason in OutError, when not open or when the write fails. */
	bool WriteRow(const std::string& Row, std::string& OutError);
	/** Closes the file; nothing when it is not open. */
	void Close();

	bool IsOpen() const { return FileDescriptor >= 0; }
	/** The file's path; empty before the first Open succeeds. */
	const std::string& GetPath() const { return Path; }

private:
	int FileDescriptor = -1;
	std::string Path;
	/** Bytes of whole rows written so far: where a failed row is cut back to. */
	int64 Size = 0;
};
