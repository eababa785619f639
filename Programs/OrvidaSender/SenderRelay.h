#pragma once

#include "SenderDestination.h"
#include "SenderUdpSocket.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/** What a relay does: where it listens, where each datagram goes on to, and when it ends. */
struct FSenderRelayOptions
{
	/** The address and port the relay receives on. */
	FSenderDestination Listen;
	/** Every datagram received goes to each of these, in the order given. */
	std::vector<FSenderDestination> Destinations;
	/** As for a session: the time to live of datagrams forwarded to a multicast group. */
	std::optional<uint8_t> MulticastTtl;
	/** The relay ends at whichever comes first: Count datagrams received, Duration, or Stop. */
	std::optional<int64_t> Count;
	std::optional<double> DurationSeconds;
};

/** What a relay did; while it runs, the first three are its progress. */
struct FSenderRelaySummary
{
	int64_t Received = 0;
	/** Datagrams the system took, over all destinations: Received times their number when none was refused. */
	int64_t Forwarded = 0;
	int64_t Refused = 0;
	std::chrono::nanoseconds Elapsed{0};
	/** Stop was called before the relay ended by itself. */
	bool bStopped = false;
	/** Why the relay could not run at all; empty when it could. */
	std::string Error;

	/** One line: what was received and forwarded, and how long it took. */
	std::string Describe() const;
};

/**
 * A fan-out for networks without multicast: receives datagrams on one address and sends each one on, unchanged
 * and in the order received, to every destination before it takes the next.
 *
 * Threads: Run runs on one thread, once; Stop and GetProgress may be called on any thread, also while Run runs.
 * The progress counters are relaxed atomics, each exact on its own, not a snapshot of all at one instant.
 */
class FSenderRelay
{
public:
	explicit FSenderRelay(FSenderRelayOptions InOptions);
	~FSenderRelay();
	FSenderRelay(const FSenderRelay&) = delete;
	FSenderRelay& operator=(const FSenderRelay&) = delete;

	/**
	 * Makes both sockets and binds the listening one, so that datagrams sent from then on wait for Run; the reason
	 * when either cannot be made or the bind is refused, empty when it worked. Called once, before Run.
	 */
	std::string Open();
	/**
	 * Forwards until the count or the duration ends or Stop is called; the duration counts from here. Opens first
	 * when Open was not called; a summary with Error set when opening failed.
	 */
	FSenderRelaySummary Run();
	/** Ends Run within one wait slice (50 ms); before Run, Run forwards nothing. */
	void Stop() { bStopRequested.store(true, std::memory_order_relaxed); }
	/** Received, Forwarded and Refused so far. */
	FSenderRelaySummary GetProgress() const;

private:
	/** Sends Datagram to every destination and counts what the system took and what it refused. */
	void ForwardToAll(const char* Datagram, size_t Size, FSenderRelaySummary& Summary);

	FSenderRelayOptions Options;
	int ListenDescriptor = -1;
	FSenderUdpSocket Forwarder;
	std::atomic<bool> bStopRequested{false};
	std::atomic<int64_t> ReceivedCount{0};
	std::atomic<int64_t> ForwardedCount{0};
	std::atomic<int64_t> RefusedCount{0};
};
