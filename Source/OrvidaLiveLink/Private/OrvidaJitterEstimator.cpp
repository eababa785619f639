#include "OrvidaJitterEstimator.h"

#include <cmath>

void FOrvidaJitterEstimator::AddArrival(double ArrivalSeconds, double TimecodeSeconds)
{
	const double TransitSeconds = ArrivalSeconds - TimecodeSeconds;
	if (!std::isfinite(TransitSeconds))
	{
		return;
	}
	if (bHasPrevious)
	{
		// RFC 3550's gain of 1/16: one late datagram moves the estimate little, a lasting change shows within about
		// sixteen datagrams.
		const double Difference = std::abs(TransitSeconds - PreviousTransitSeconds);
		JitterSeconds += (Difference - JitterSeconds) / 16.0;
	}
	PreviousTransitSeconds = TransitSeconds;
	bHasPrevious = true;
}
