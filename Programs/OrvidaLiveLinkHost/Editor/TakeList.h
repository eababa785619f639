#pragma once

#include "Editor/Snapshot.h"

#include <chrono>
#include <string>
#include <vector>

class FTakeRecorder;

/**
 * The takes recorded while the host runs, however they were started (the API, the plug-in's take automation):
 * each take file the recorder names, once it no longer records into it.
 *
 * Threads: game thread only; Observe once per tick.
 */
class FHostTakeList
{
public:
	/** Notes a recording's start, and adds the take once the recorder has stopped recording into its file. */
	void Observe(const FTakeRecorder& TakeRecorder, std::chrono::steady_clock::time_point Now);

	/** Oldest first. */
	const std::vector<FHostTakeFileSnapshot>& GetTakes() const { return Takes; }

private:
	std::vector<FHostTakeFileSnapshot> Takes;
	/** The file of the take last added, so that it is added once. */
	std::string ListedPath;
	/** The file being recorded when a tick last saw a recording, and when it first saw it. */
	std::string RecordingPath;
	std::chrono::steady_clock::time_point RecordingSince;
};
