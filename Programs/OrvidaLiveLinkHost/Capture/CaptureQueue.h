#pragma once

#include "Capture/CapturedDatagram.h"
#include "Capture/PcapPacket.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

/**
 * The datagrams between the sources' taps and the capture's writer, bounded by the bytes they will take in the
 * file, so that a disk slower than the stream costs datagrams from the capture rather than memory without end.
 *
 * Threads: each source's receiver thread calls Push; the writer's thread calls PopAll; any thread calls Close
 * and GetDropped. Push never waits for anything but Lock, which PopAll holds only to swap the queued datagrams out.
 */
class FHostCaptureQueue
{
public:
	/** What one datagram takes in a pcap file besides its payload: the record's header and the packet's. */
	static constexpr size_t RecordOverheadBytes = 16 + FHostPcapPacket::HeaderSize;

	explicit FHostCaptureQueue(size_t InCapacityBytes);

	/**
	 * Queues Datagram, or counts it dropped when its record would take the queue beyond its capacity or the queue
	 * is closed. A datagram without bytes counts as an empty one.
	 */
	void Push(FHostCapturedDatagram&& Datagram);
	/**
	 * Waits until a datagram is queued or the queue is closed, then replaces Out with every queued datagram, in
	 * the order pushed. False, with Out emptied, once the queue is closed and empty.
	 */
	bool PopAll(std::vector<FHostCapturedDatagram>& Out);
	/** From now on Push drops everything; PopAll hands out what is left, then answers false. */
	void Close();
	/** Datagrams Push could not queue. */
	int64 GetDropped() const { return Dropped.load(std::memory_order_relaxed); }

private:
	const size_t CapacityBytes;
	/** Protects Queued, QueuedBytes and bClosed. */
	std::mutex Lock;
	std::condition_variable Pushed;
	std::vector<FHostCapturedDatagram> Queued;
	size_t QueuedBytes = 0;
	bool bClosed = false;
	std::atomic<int64> Dropped{0};
};
