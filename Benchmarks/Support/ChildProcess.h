#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

/**
 * A program the benchmark runs, with its standard output on a pipe and its standard error thrown away. It is
 * stopped with SIGINT, then SIGKILL once it has outlived the bound, at the latest when the object goes; the
 * kernel kills it as well should the benchmark itself die first.
 */
class FChildProcess
{
public:
	/** Starts Arguments[0] with the rest as its arguments; throws std::runtime_error when it cannot be started. */
	explicit FChildProcess(const std::vector<std::string>& Arguments);
	~FChildProcess();
	FChildProcess(const FChildProcess&) = delete;
	FChildProcess& operator=(const FChildProcess&) = delete;

	pid_t GetPid() const { return Pid; }

	/** The next line of its output without the newline; nullopt once Deadline has passed or the output has ended. */
	std::optional<std::string> ReadLine(std::chrono::steady_clock::time_point Deadline);

	/** True once it has exited, waiting for that until Deadline. */
	bool WaitForExit(std::chrono::steady_clock::time_point Deadline);

	/** SIGINT, then SIGKILL if it is still running after Bound; does nothing once it has exited. */
	void Stop(std::chrono::milliseconds Bound = std::chrono::seconds(5));

private:
	pid_t Pid = -1;
	int OutputFd = -1;
	bool bExited = false;
	bool bOutputEnded = false;
	std::string Pending;
};
