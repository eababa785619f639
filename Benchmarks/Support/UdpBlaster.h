#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace OrvidaBenchmark
{
/**
 * Sender processes that send the given messages in turn to 127.0.0.1:Port as fast as the system takes them,
 * each until Seconds have passed or a stop is requested, then report how many datagrams the system accepted.
 * Processes, not threads, so that the senders' work is not counted in the receiving process's figures.
 *
 * The children are forked from a process that may have threads, so after the fork they only make system calls
 * that are safe there (no allocation): the messages are built before. Only the thread that made the object
 * calls its functions; the destructor requests a stop and reaps the children.
 */
class FUdpBlaster
{
public:
	/** Forks Processes senders; a sender that cannot be forked is left out (GetProcessCount says how many run). */
	FUdpBlaster(uint16_t Port, int32_t Processes, const std::vector<std::string>& Messages, double Seconds);
	~FUdpBlaster();
	FUdpBlaster(const FUdpBlaster&) = delete;
	FUdpBlaster& operator=(const FUdpBlaster&) = delete;

	int32_t GetProcessCount() const { return int32_t(Children.size()); }
	/** Asks every sender to stop now; senders that have ended already are not affected. */
	void RequestStop();
	/** Waits for every sender to end (by its time or a stop) and returns the datagrams they sent; 0 after the first call. */
	int64_t Join();

private:
	struct FChild
	{
		pid_t Process = -1;
		/** The parent's end of the pipe the child writes its count into. */
		int ResultDescriptor = -1;
	};

	std::vector<FChild> Children;
	/** The parent's end of the pipe whose closing tells the children to stop; -1 once closed. */
	int StopDescriptor = -1;
};
} // namespace OrvidaBenchmark
