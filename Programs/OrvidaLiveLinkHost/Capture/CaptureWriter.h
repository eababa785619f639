#pragma once

#include "Capture/CaptureQueue.h"
#include "OrvidaLiveLinkSource.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

struct pcap;
struct pcap_dumper;

/**
 * Writes what the sources' taps see to a pcap file, with libpcap's writer: nanosecond timestamps (the arrival
 * times), link type raw IP (LINKTYPE_RAW), each datagram in the IPv4 and UDP headers it came with, rebuilt
 * (FHostPcapPacket), from its sender to the source's bound endpoint. A source bound to 0.0.0.0 is written as
 * 127.0.0.1: its socket does not say which of the machine's addresses a datagram was sent to.
 *
 * Threads: Open, Finish and the destructor belong to one thread (the game thread). The taps that MakeTap
 * returns run on the sources' receiver threads and only push onto the queue. The writer's own thread takes the
 * queue and alone touches the file until Finish has joined it. GetCounts may be called from any thread.
 */
class FHostCaptureWriter
{
public:
	struct FCounts
	{
		/** Datagrams in the file: handed to it and flushed without an error. */
		int64 Written = 0;
		/**
		 * Datagrams the capture did not keep: the queue was full, they were too long for IPv4, or the file failed
		 * (those of the batch that failed, and every one after, until Finish).
		 */
		int64 Dropped = 0;
	};

	/**
	 * Creates (or empties) the file at Path and starts the writer's thread. Null, with OutError naming the file
	 * and the reason, when the file cannot be opened for writing.
	 */
	static std::unique_ptr<FHostCaptureWriter> Open(const std::string& Path, std::string& OutError);
	/** Finishes, when Finish was not called. */
	~FHostCaptureWriter();
	FHostCaptureWriter(const FHostCaptureWriter&) = delete;
	FHostCaptureWriter& operator=(const FHostCaptureWriter&) = delete;

	/** A tap for a source. It stays harmless after Finish: what it is given then is counted as dropped. */
	FOrvidaLiveLinkSource::FDatagramTap MakeTap() const;
	FCounts GetCounts() const;
	const std::string& GetPath() const { return Path; }

	/**
	 * Takes no more datagrams, writes those queued, flushes and closes the file. Returns the first failure to
	 * write, naming the file and the reason; empty when every write and the flush succeeded. Later calls
	 * return the same. After a failure the file holds exactly the records counted as written.
	 */
	std::string Finish();

private:
	FHostCaptureWriter(std::string InPath, pcap* InDeadHandle, pcap_dumper* InDumper);

	/** The writer's thread: writes each batch the queue hands out and flushes it, until the queue is closed and empty. */
	void WriteQueued();
	/**
	 * The writer's thread: writes one record, its packet built in Packet. False when the datagram was too long
	 * for IPv4 (counted) or the file failed (noted).
	 */
	bool WriteDatagram(const FHostCapturedDatagram& Datagram, std::vector<uint8>& Packet);
	/**
	 * The writer's thread: keeps the first error of the file's stream, with the reason errno gives, says it on
	 * standard error at once, and cuts the file back to its last flushed record, so that a full disk leaves a
	 * capture that every reader can read to its end.
	 */
	void NoteFileError();

	/**
	 * 16 MiB of records: a camera message is about a kilobyte, so some 16,000 datagrams, over two minutes of a
	 * 120 fps stream, which a disk stalled longer than that loses rather than memory growing without end. The
	 * bound is in bytes, not datagrams, as a datagram may be anything up to 64 KiB.
	 */
	static constexpr size_t QueueCapacityBytes = 16 * 1024 * 1024;

	const std::string Path;
	pcap* DeadHandle;
	pcap_dumper* Dumper;
	const std::shared_ptr<FHostCaptureQueue> Queue;
	std::atomic<int64> Written{0};
	std::atomic<int64> TooLong{0};
	/** Handed to the writer but not kept because the file failed. */
	std::atomic<int64> Lost{0};
	/** The writer's thread: where the file ends after its last successful flush, a record boundary. */
	long FlushedOffset = 0;
	/** Written by the writer's thread; read by Finish once it has joined that thread. */
	std::string WriteError;
	std::thread Thread;
};
