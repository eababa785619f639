#pragma once

#include "Editor/Snapshot.h"
#include "Editor/TakeFolder.h"

#include <chrono>
#include <string>
#include <vector>

class FTakeRecorder;

/**
 * The take files in the Take Recorder's takes folder, also those of earlier runs, however they were recorded (the
 * API, the plug-in's take automation): FHostTakeFolder reads them on its thread, asked again about once a second
 * and as soon as a take stops. The file being recorded is left out until its take stops.
 *
 * Threads: game thread only; Observe once per tick.
 */
class FHostTakeList
{
public:
	/** How often the folder is looked at again: files may come from elsewhere (a copy, an earlier run). */
	static constexpr std::chrono::milliseconds RescanInterval{1000};

	/** Asks for a new listing when it is due or the recording state changed, and takes in the last one. */
	void Observe(const FTakeRecorder& TakeRecorder, std::chrono::steady_clock::time_point Now);

	/** Oldest first; never null. */
	const std::shared_ptr<const std::vector<FHostTakeFileSnapshot>>& GetTakes() const { return Takes; }

private:
	FHostTakeFolder Folder;
	std::shared_ptr<const std::vector<FHostTakeFileSnapshot>> Takes = Folder.GetTakes();
	std::chrono::steady_clock::time_point LastScan;
	bool bScanned = false;
	bool bWasRecording = false;
	std::string LastPath;
};
