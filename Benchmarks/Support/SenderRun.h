#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/** What orvida-send says it sent in its closing line. */
struct FSentCount
{
	/** Messages made; each went to every destination as one datagram. */
	int64_t Messages = 0;
	int64_t Datagrams = 0;
	/** Datagrams the system refused to send. */
	int64_t Refused = 0;
};

/** The count in orvida-send's closing line; nullopt for any other line. */
std::optional<FSentCount> ParseSentCount(const std::string& Line);

/** One orvida-send, found beside the benchmark, sending its made-up orbit from timecode 00:00:00:00 on. */
class FSenderRun
{
public:
	/** Starts it towards every endpoint at Rate messages a second for Seconds; throws std::runtime_error when it cannot start. */
	FSenderRun(const std::vector<std::string>& Endpoints, int32_t Rate, double Seconds);

	pid_t GetPid() const { return Process.GetPid(); }

	/** Its closing count, waiting for it until Deadline; nullopt when it printed none by then. */
	std::optional<FSentCount> WaitForCount(std::chrono::steady_clock::time_point Deadline);

private:
	FChildProcess Process;
};
