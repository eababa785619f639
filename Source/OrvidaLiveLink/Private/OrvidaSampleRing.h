#pragma once

#include "CoreMinimal.h"
#include "OrvidaCameraSample.h"

#include <mutex>

/**
 * The six-slot ring between the receiver and the publisher, and the playout clock that decides which slot is
 * due. The clock runs from construction at PlayoutRate frames per second, and a new rate takes over from the
 * position the old one had reached; each time it enters a new playout frame the read position moves on by at
 * most one slot. When only the due sample is left, the ring buffers until it is half full again, and the due
 * sample stays due meanwhile.
 *
 * Threads: the receiver thread calls CommitSample; the game thread calls StepPlayoutClock, UpdatePlayoutRate
 * and reads PlayoutSubframe and the due commit time. RingLock guards the slots and the indices; the clock
 * fields, the due commit time among them, belong to the game thread alone. No other lock is ever taken while
 * RingLock is held.
 */
class ORVIDALIVELINK_API FOrvidaSampleRing
{
public:
	/**
	 * Milliseconds of a monotonic clock; tests hand in a clock they set. Called on the game thread for the
	 * playout clock and on the receiver thread for arrival times (GetSteadyNanoseconds).
	 */
	using FSteadyClock = TFunction<int64()>;

	static constexpr int32 RingCapacity = 6;

	struct FStats
	{
		/** Samples stored since construction. */
		int64 CommittedSamples = 0;
		/**
		 * Samples overwritten before they were due, because the ring was full. Each step sorts the drops since
		 * the one before into decimated and lost, so both only grow; until the next step a drop is in neither.
		 */
		int64 DroppedSamples = 0;
		/**
		 * Of DroppedSamples, those owed to playout frames the clock stepped over between two steps: the engine
		 * ticks slower than the stream (by design, as a 240/s stream into 60 ticks a second, or on a late tick),
		 * so one sample a tick is played and the rest are decimated.
		 */
		int64 DecimatedSamples = 0;
		/** Of DroppedSamples, those no skipped frame accounts for: lost to a burst of arrivals or a fast sender. */
		int64 LostSamples = 0;
		/** Playout frames entered with no sample after the due one, so the due one played again. */
		int64 Underruns = 0;
		int32 RingCount = 0;
		bool bBuffering = true;
	};

	/** Starts the clock at SteadyClock's present time; a null clock means the system's steady clock. */
	explicit FOrvidaSampleRing(FSteadyClock InSteadyClock = FSteadyClock());

	/** Stores the sample at the write position; in a full ring the oldest sample is dropped. */
	void CommitSample(FOrvidaCameraSample Sample);

	/**
	 * Advances the clock and, on a new playout frame, the read position by at most one slot. False while
	 * nothing has been committed; otherwise true with a copy of the due sample in OutDueSample.
	 */
	bool StepPlayoutClock(FOrvidaCameraSample& OutDueSample);

	/**
	 * Takes the playout rate from the timecode of the slot the next commit fills; a rate that differs from the
	 * present one moves the clock's origin so that the playout position carries on from where it is. False,
	 * and no change, when that slot's rate is not usable (see IsUsableFrameRate).
	 */
	bool UpdatePlayoutRate();

	/** Whether Numerator / Denominator is a camera rate: a positive denominator and 1 to 1000 frames per second. */
	static bool IsUsableFrameRate(int32 Numerator, int32 Denominator);

	/** Playout frames since the clock started, at the present time; steps round it to the playout frame. */
	double GetPlayoutPosition() const;
	/** Fraction of the playout position at the last step, 0 to FFrameTime::MaxSubframe. */
	float GetPlayoutSubframe() const { return PlayoutSubframe; }
	double GetPlayoutRate() const { return PlayoutRate; }
	/** The highest playout frame the clock has acted on. */
	int64 GetLastPlayoutFrame() const { return LastPlayoutFrame; }
	FStats GetStats() const;
	/** The clock the playout clock reads, in nanoseconds (an injected clock's milliseconds scaled); any thread. */
	int64 GetSteadyNanoseconds() const;
	/**
	 * When the sample due at the last step that found one was committed, on GetSteadyNanoseconds' clock: with
	 * the time of its publication, how long a frame waited in the source. 0 before such a step.
	 */
	int64 GetDueCommitNanoseconds() const { return DueCommitNanoseconds; }

private:
	int64 NowMilliseconds() const;
	double PlayoutPositionAt(int64 NowMs) const;

	FSteadyClock SteadyClock;

	/**
	 * Guards SampleRing, CommitNanoseconds, RingCount, WriteIndex, ReadIndex, bBuffering, the counters and the
	 * decimation figures.
	 */
	mutable std::mutex RingLock;
	FOrvidaCameraSample SampleRing[RingCapacity];
	/** When each slot's sample was committed. */
	int64 CommitNanoseconds[RingCapacity] = {};
	/** Committed samples from ReadIndex onward, the due one included. */
	int32 RingCount = 0;
	int32 WriteIndex = 0;
	/** The due slot; -1 until the first commit. */
	int32 ReadIndex = -1;
	bool bBuffering = true;
	int64 CommittedSamples = 0;
	int64 DroppedSamples = 0;
	int64 Underruns = 0;
	/**
	 * Playout frames the clock stepped over and no drop has been owed to yet, at most a second's worth (late
	 * samples of those frames may still come in a burst); and the drops each step has put down to them or not.
	 */
	int64 SkippedFrames = 0;
	int64 DecimatedSamples = 0;
	int64 LostSamples = 0;

	int64 DueCommitNanoseconds = 0;
	double PlayoutRate = 25.0;
	float PlayoutSubframe = 0.0f;
	/** The clock's origin: the playout position PlayoutRate counts on from, and when it was reached. */
	int64 AnchorMs = 0;
	double AnchorPosition = 0.0;
	/** Kept in 64 bits, with the position in double precision, so that the clock neither loses its subframe nor skips frames in sessions of many days. */
	int64 LastPlayoutFrame = 0;
};
