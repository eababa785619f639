#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"
#include "OrvidaCameraMessageDecoder.h"
#include "OrvidaJitterEstimator.h"
#include "OrvidaSampleRing.h"

#include <atomic>
#include <limits>

/**
 * What a source's stream has looked like since the source was made: datagrams and what the decoder made of
 * them, timecode continuity, interarrival jitter, the time since the last datagram and how many senders are
 * sending. The ring keeps its own counts (samples stored, dropped, underruns), which the snapshot carries along.
 *
 * Threads: the receiver thread records (RecordDatagram, RecordDecode, RecordTimecode), one datagram at a time and
 * without a lock; any thread may take a snapshot. Each figure the snapshot shows is a relaxed atomic that only
 * the receiver writes, so recording costs plain loads and stores; the figures are read one by one, so a snapshot
 * taken while a datagram is being recorded may count it in some figures and not yet in others.
 */
class ORVIDALIVELINK_API FOrvidaStreamHealth
{
public:
	struct FSnapshot
	{
		/** Datagrams handed to the decoder (empty ones are not) and their bytes. */
		int64 Datagrams = 0;
		int64 Bytes = 0;
		/** Datagrams whose text was not one JSON object. */
		int64 UnparsedDatagrams = 0;
		/** Datagrams that parsed but held no camera record. */
		int64 DatagramsWithoutCamera = 0;
		/** Top-level keys other than the camera key, over all datagrams: the "Unknow data received" lines, written or held back. */
		int64 ForeignKeys = 0;
		/** Samples whose frame number skipped ahead by more than one from the previous sample's at the same rate. */
		int64 TimecodeGaps = 0;
		/** Samples whose frame number repeated or stepped back from the previous sample's at the same rate. */
		int64 TimecodeRepeats = 0;
		/** Interarrival jitter (FOrvidaJitterEstimator) of the datagrams that gave a sample with a usable frame rate. */
		double JitterMilliseconds = 0.0;
		/** Between the last two datagrams' arrivals, on the ring's clock; negative until two have arrived. */
		double InterarrivalMilliseconds = -1.0;
		/** Since the last datagram arrived, on the ring's clock; negative while none has. */
		double SecondsSinceLastDatagram = -1.0;
		/** Sender addresses and ports seen in the last RecentSenderSeconds, at most MaxSenders. */
		int32 RecentSenders = 0;
		/** The ring's samples stored and dropped and its underruns. */
		FOrvidaSampleRing::FStats Ring;
	};

	/**
	 * A source serves one camera application, and a second sender on its port is the stage mistake this figure
	 * is there to show; beyond a handful, "many" is all a user needs to know. Eight entries keep the table's scan
	 * per datagram short, and a flood of forged addresses cannot grow it: a sender not in a full table takes the
	 * entry seen longest ago, so the count saturates at eight.
	 */
	static constexpr int32 MaxSenders = 8;
	static constexpr int64 RecentSenderSeconds = 5;

	FOrvidaStreamHealth();

	/** Counts one datagram of Bytes from Sender that arrived at ArrivalNanoseconds on the ring's clock. */
	void RecordDatagram(int32 Bytes, const FIPv4Endpoint& Sender, int64 ArrivalNanoseconds);
	/** Counts what the decoder found in the datagram last recorded. */
	void RecordDecode(const FOrvidaCameraMessageDecoder::FOutcome& Outcome);
	/**
	 * Checks the frame number of a sample from the datagram last recorded against the previous sample's and
	 * feeds the jitter estimate. A timecode whose rate is not usable (FOrvidaSampleRing::IsUsableFrameRate) names
	 * no time: it is skipped, and the next usable one is compared with the last usable one, as if the datagram
	 * between had brought no sample. A nominal period instead would invent a time the sender never sent.
	 */
	void RecordTimecode(const int32 (&Timecode)[3]);

	/** The figures now, the time since the last datagram on Ring's clock, and Ring's own counts. */
	FSnapshot GetSnapshot(const FOrvidaSampleRing& Ring) const;
	/** The last datagram's arrival on the ring's clock, recorded before its decode; the lowest int64 while none has arrived. Any thread. */
	int64 GetLastArrivalNanoseconds() const { return LastArrivalNanoseconds.load(std::memory_order_relaxed); }

private:
	friend class FOrvidaLiveLinkSourceTestAccess;

	using FCounter = std::atomic<int64>;

	/** Only the receiver thread writes, so a load and a store do: no locked add on the receive path. */
	static void Add(FCounter& Counter, int64 Amount);
	void RecordSender(const FIPv4Endpoint& Sender, int64 ArrivalNanoseconds);

	FCounter Datagrams{0};
	FCounter Bytes{0};
	FCounter UnparsedDatagrams{0};
	FCounter DatagramsWithoutCamera{0};
	FCounter ForeignKeys{0};
	FCounter TimecodeGaps{0};
	FCounter TimecodeRepeats{0};
	std::atomic<double> JitterMilliseconds{0.0};
	/** The minimum while no datagram has arrived. */
	FCounter LastArrivalNanoseconds;
	FCounter InterarrivalNanoseconds;

	/** Each sender's last arrival; the minimum marks an entry never used. Read by snapshots. */
	FCounter SenderLastSeen[MaxSenders];
	/** Address and port of each entry, with bit 48 set once used; the receiver thread's alone. */
	uint64 SenderKeys[MaxSenders] = {};
	/** The entry the last datagram matched: a stream from one sender finds it at the first look. */
	int32 LastSenderIndex = 0;

	/**
	 * The receiver thread's alone: the last datagram's arrival, which RecordTimecode pairs with and the next
	 * datagram's interarrival time starts from (the lowest int64 before the first), and the previous usable timecode.
	 */
	int64 CurrentArrivalNanoseconds = std::numeric_limits<int64>::min();
	bool bHasPreviousTimecode = false;
	int32 PreviousTimecode[3] = {0, 0, 0};
	FOrvidaJitterEstimator Jitter;
};
