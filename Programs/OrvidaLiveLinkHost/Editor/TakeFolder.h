#pragma once

#include "Editor/Snapshot.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/**
 * Lists the take files of a folder on a thread of its own, so that a folder of many or huge files never holds up
 * the game thread: each scan lists the folder's regular *.csv files, newest MaxListed of them, and reads each with
 * FHostTakeFileReader, unless its path, size and modification time are those of a file read before.
 *
 * Threads: Scan and GetTakes from any thread (the game thread); the scans run on the folder's own thread. Lock
 * guards the request, the stop request and the last listing. The cache belongs to the folder's thread.
 */
class FHostTakeFolder
{
public:
	/** The most files listed: the newest; a list longer than a day's takes would only weigh on every snapshot. */
	static constexpr size_t MaxListed = 500;

	FHostTakeFolder();
	/** Stops a scan under way (a file being read is left mid-way) and waits for the thread. */
	~FHostTakeFolder();
	FHostTakeFolder(const FHostTakeFolder&) = delete;
	FHostTakeFolder& operator=(const FHostTakeFolder&) = delete;

	/**
	 * Asks for a scan of Directory leaving out the file SkipPath (a take being recorded grows still); a request
	 * made while one waits replaces it. A folder that does not exist lists nothing.
	 */
	void Scan(const std::string& Directory, const std::string& SkipPath);
	/** The last scan's files, oldest first; empty before the first scan ends. Never null. */
	std::shared_ptr<const std::vector<FHostTakeFileSnapshot>> GetTakes() const;

private:
	struct FRequest
	{
		std::string Directory;
		std::string SkipPath;
	};
	void Run();
	std::vector<FHostTakeFileSnapshot> List(const FRequest& Request);

	mutable std::mutex Lock;
	std::condition_variable Wake;
	std::optional<FRequest> Pending;
	bool bStopRequested = false;
	std::shared_ptr<const std::vector<FHostTakeFileSnapshot>> Takes = std::make_shared<const std::vector<FHostTakeFileSnapshot>>();
	/** Set with bStopRequested; read without the lock while a file is read. */
	std::atomic<bool> bStopping{false};
	/** By path: files read before, kept while they are listed. */
	std::map<std::string, FHostTakeFileSnapshot> Cache;
	std::thread Worker;
};
