#pragma once

#include "Editor/Snapshot.h"
#include "Misc/OutputDevice.h"

#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

/**
 * The output log the browser shows: the last lines of a few log categories, each with its verbosity and time, a
 * line that repeats the one before it kept once with a count.
 *
 * Threads: the constructor adds the buffer to the process's log and the destructor removes it (any one thread).
 * Serialize runs on whichever thread logs and only appends; Copy runs on the game thread, which puts the lines into
 * its snapshot. Lock protects Lines.
 */
class FHostLogBuffer : public FOutputDevice
{
public:
	/** Keeps lines of these categories only, at most MaxLines of them (older ones are dropped); a MaxLines of 0 keeps 1. */
	FHostLogBuffer(std::set<std::string> InCategories, size_t InMaxLines);
	~FHostLogBuffer() override;
	FHostLogBuffer(const FHostLogBuffer&) = delete;
	FHostLogBuffer& operator=(const FHostLogBuffer&) = delete;

	/** Lines of other categories are ignored; text that is not valid UTF-16/32 is kept as the engine's conversion makes it. */
	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override;

	/** The kept lines, oldest first. */
	std::vector<FHostLogLineSnapshot> Copy() const;

private:
	const std::set<std::string> Categories;
	const size_t MaxLines;

	mutable std::mutex Lock;
	std::deque<FHostLogLineSnapshot> Lines;
};
