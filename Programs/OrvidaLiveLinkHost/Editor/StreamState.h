#pragma once

#include "Editor/Snapshot.h"

/**
 * A source's stream in one short state in words, with its severity: what the console prints, the API reports and
 * the page shows in its Status column, so that all three say the same. Judged from the snapshot's status, health
 * counts and rates, one state per source, the first that holds in this order:
 *
 * 1. cannot receive (the source's own status, e.g. "Device Not Found"), error;
 * 2. "Waiting for data" before the first datagram, notice;
 * 3. "Stopped 4 s ago", error: nothing for StoppedSeconds;
 * 4. "Two senders on this port", error: two streams interleave, every figure below is of the mix;
 * 5. "Late 1.2 s", warning: the freshest fact, while the loss and jitter figures still describe the last second;
 * 6. "Losing 10 % of frames", warning;
 * 7. "Uneven arrivals (15 ms)", notice: the ring absorbs it, but a take may show it;
 * 8. "Decimated: 240/s into 60 ticks/s", ok: the engine takes one sample a tick by design;
 * 9. "Receiving 60/s", ok ("Receiving" in the first second, before a rate is known).
 *
 * Threads: none of its own; a pure function of its arguments.
 */
class FHostStreamState
{
public:
	/** The state of Source in a host ticking TicksPerSecond times a second (0 while not yet known). */
	static FHostStateSnapshot Judge(const FHostSourceSnapshot& Source, double TicksPerSecond);

	/** "ok", "notice", "warning" or "error", as the API names a severity. */
	static const char* SeverityName(EHostSeverity Severity);

	/** A source whose status is one of these can receive; any other status is why it cannot. */
	static bool CanReceive(const std::string& Status);

	/**
	 * Past half a second without a datagram a stage sees the camera freeze (a dozen frames at 25/s, thirty at 60),
	 * while a tick or network hiccup stays well below it, so the word does not flicker on a healthy stream.
	 */
	static constexpr double LateSeconds = 0.5;
	/** Past three seconds a pause is no hiccup any more: a camera application that paused or quit. */
	static constexpr double StoppedSeconds = 3.0;
	/**
	 * One frame in fifty (one every second or so at 60/s) is below what a take shows as a stutter; above it, lost
	 * frames are visible in motion and worth finding before a take.
	 */
	static constexpr double LossFraction = 0.02;
	/**
	 * Half a frame at 60/s: arrivals uneven by more than that may miss the tick they were meant for. The ring
	 * holds three samples and hides it from the picture, which is why this is a notice, not a warning.
	 */
	static constexpr double UnevenMilliseconds = 8.0;
	/** A decimating source drops a sample a tick or more; below one a second, drops are a stray late tick. */
	static constexpr double DecimatedPerSecond = 1.0;
};
