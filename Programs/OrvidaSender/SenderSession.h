#pragma once

#include "SenderClock.h"
#include "SenderFrameSource.h"
#include "SenderOptions.h"
#include "SenderSummary.h"
#include "SenderUdpSocket.h"

#include <atomic>
#include <memory>

/**
 * Sends a stream: takes frames from a source, writes each camera as a message with the take's names and the
 * recording state, lets the impairments decide its fate, waits for its deadline and sends it to every
 * destination.
 *
 * Threads: Run runs on one thread, once; Stop and GetProgress may be called on any thread, also while Run runs.
 * The progress counters are relaxed atomics, each exact on its own, not a snapshot of all at one instant.
 */
class FSenderSession
{
public:
	/** Options as Validate accepts them; Source and Clock must outlive the session. */
	FSenderSession(FSenderOptions InOptions, std::unique_ptr<ISenderFrameSource> InSource, ISenderClock& InClock = FSenderSteadyClock::Get());

	/** Sends until the stream, the count or the duration ends or Stop is called. Called once per session; a socket that could not be made gives a summary with
	 * Error set. */
	FSenderSummary Run();
	/** Ends Run within one sleep slice of the clock, with the message held for reordering sent; before Run, Run sends nothing. */
	void Stop() { bStopRequested.store(true, std::memory_order_relaxed); }
	FSenderProgress GetProgress() const;

	/** The names of a take that neither the options nor the replay name. */
	static constexpr const char* DefaultSlate = "A001";
	static constexpr const char* DefaultTake = "1";

private:
	/** The datagram for Frame: the camera written as a message, or the captured payload as it is. */
	std::string MakeMessage(FSenderFrame& Frame, std::chrono::nanoseconds ScheduleTime) const;
	void SendToAll(const std::string& Datagram, FSenderSummary& Summary);

	FSenderOptions Options;
	std::unique_ptr<ISenderFrameSource> Source;
	FSenderUdpSocket Socket;
	/** Known before Run, so that GetProgress never touches the source, which belongs to Run's thread. */
	int64_t PlannedMessages = -1;
	ISenderClock& Clock;
	std::atomic<bool> bStopRequested{false};
	std::atomic<int64_t> MessageCount{0};
	std::atomic<int64_t> DatagramCount{0};
	std::atomic<int64_t> ScheduledNanoseconds{0};
};
