#pragma once

#include "Editor/SnapshotBoard.h"

#include <atomic>
#include <chrono>
#include <memory>

namespace httplib
{
class DataSink;
}

/**
 * One browser's stream of server-sent events: every period at most, the newest snapshot as one "state" event when
 * it is not the one sent last (snapshots published in between are skipped, never queued).
 *
 * Threads: Send runs on the web server's thread that serves the stream, over and over until it returns false or
 * ends the stream; it reads the board and the stop flag only.
 */
class FHostEventStream
{
public:
	/** At most 30 events a second. */
	static constexpr std::chrono::milliseconds Period{34};

	FHostEventStream(const FHostSnapshotBoard& InBoard, const std::atomic<bool>& bInStopping);

	/** Waits for the next period, then writes the newest snapshot if it changed; ends the stream once bStopping is set. False when the browser has gone. */
	bool Send(httplib::DataSink& Sink);

private:
	const FHostSnapshotBoard& Board;
	const std::atomic<bool>& bStopping;
	std::shared_ptr<const FHostSnapshot> LastSent;
	std::chrono::steady_clock::time_point NextSend;
};
