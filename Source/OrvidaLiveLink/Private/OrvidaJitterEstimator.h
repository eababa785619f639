#pragma once

#include "CoreMinimal.h"

/**
 * The interarrival jitter of a stream, as RTP receivers estimate it (RFC 3550, 6.4.1): for each datagram after
 * the first, D is how much longer (or shorter) the gap since the previous one was on arrival than by the
 * timecode, and the estimate J moves a sixteenth of the way towards |D|. A sender that stamps and sends at an
 * even pace over a quiet network keeps J near zero whatever the network's fixed delay.
 *
 * Threads: no lock; one thread at a time adds arrivals.
 */
class ORVIDALIVELINK_API FOrvidaJitterEstimator
{
public:
	/**
	 * One datagram: when it arrived, on a steady clock, and the time its timecode names, both in seconds. The
	 * first one only sets the reference. A value that is not finite is ignored and leaves the estimate and the
	 * reference as they were.
	 */
	void AddArrival(double ArrivalSeconds, double TimecodeSeconds);

	/** The estimate in milliseconds; 0 until two arrivals were added. */
	double GetJitterMilliseconds() const { return JitterSeconds * 1000.0; }

private:
	bool bHasPrevious = false;
	/** Arrival minus timecode time of the previous datagram: a transit time up to a constant offset. */
	double PreviousTransitSeconds = 0.0;
	double JitterSeconds = 0.0;
};
