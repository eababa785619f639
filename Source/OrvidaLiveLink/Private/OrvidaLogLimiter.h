#pragma once

#include "CoreMinimal.h"

/**
 * Bounds how many lines of one kind a stream of messages may write: at most MaxLinesPerWindow in a window of
 * WindowSeconds on the engine clock (FPlatformTime::Seconds), which opens with the first line written after the
 * last one closed. Lines beyond that are held back and counted, with the messages they came from; the count is
 * handed out once, at the first message that begins after its window has closed, so a summary may wait for the
 * next message however long that takes, and never needs a timer.
 *
 * Threads: no lock. One thread at a time uses a limiter; a source's decoder uses its own on the receiver thread alone.
 */
class ORVIDALIVELINK_API FOrvidaLogLimiter
{
public:
	/**
	 * Each message may carry thousands of lines' worth of junk, and an adversary could send a flood of such
	 * messages: writing each line cost more than decoding and filled the disk. Ten a second still shows that the
	 * stream carries something foreign, and the summary keeps the true scale of it.
	 */
	static constexpr int32 MaxLinesPerWindow = 10;
	static constexpr double WindowSeconds = 1.0;

	struct FHeldBack
	{
		/** Lines held back; 0 when there is nothing to report. */
		int32 Lines = 0;
		/** Messages that had at least one line held back. */
		int32 Messages = 0;
	};

	/**
	 * Starts a message. When lines were held back in a window that has closed, returns
	 * their count (once) and starts counting afresh; otherwise a count of zero.
	 */
	FHeldBack BeginMessage();
	/** True when one more line of the current message may be written; otherwise counts it as held back. */
	bool TryAdmitLine();

private:
	/** Meaningful only while LinesInWindow is above zero. */
	double WindowStart = 0.0;
	int32 LinesInWindow = 0;
	bool bMessageHeldBack = false;
	FHeldBack HeldBack;
};
