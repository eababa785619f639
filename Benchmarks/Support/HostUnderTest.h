#pragma once

#include "ChildProcess.h"
#include "HostConsoleReading.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/**
 * orvida-livelink, found beside the benchmark, with its console on and a number of sources on 127.0.0.1, each
 * on a port the system picks, in a project folder of its own that goes with it. A thread reads the console all
 * along, so that the host never waits on a full pipe, and keeps each source's latest reading.
 */
class FHostUnderTest
{
public:
	/** Starts the host and waits up to 30 s for every source's start-up line; throws std::runtime_error when one does not come. */
	FHostUnderTest(int32_t SourceCount, double TickRate);
	/** Stops the host (SIGINT, then SIGKILL), then removes its project folder. */
	~FHostUnderTest();
	FHostUnderTest(const FHostUnderTest&) = delete;
	FHostUnderTest& operator=(const FHostUnderTest&) = delete;

	pid_t GetPid() const { return Process.GetPid(); }
	/** Where the sources listen, a.b.c.d:port, in the order they were made. */
	const std::vector<std::string>& GetEndpoints() const { return Endpoints; }

	using FReadingsCheck = std::function<bool(const std::vector<FHostConsoleReading>&)>;
	/**
	 * Every source's first reading printed after this call for which Check holds of all of them together, in
	 * endpoint order, waiting for it until Deadline; otherwise nullopt, with the last readings in OutLast
	 * (fewer than the sources when some printed nothing by then).
	 */
	std::optional<std::vector<FHostConsoleReading>> WaitForReadings(const FReadingsCheck& Check, std::chrono::steady_clock::time_point Deadline,
	                                                                std::vector<FHostConsoleReading>& OutLast);

private:
	void ReadConsole();

	/** Found before the project folder is made, so that a missing program leaves no folder behind. */
	std::string Program;
	std::filesystem::path ProjectDir;
	FChildProcess Process;
	std::vector<std::string> Endpoints;

	std::mutex ReadingsLock;
	std::condition_variable ReadingsChanged;
	/** By endpoint: the latest reading and how many lines the source has printed. */
	std::map<std::string, std::pair<FHostConsoleReading, int64_t>> Latest;

	std::atomic<bool> bStopping{false};
	std::thread Reader;
};
