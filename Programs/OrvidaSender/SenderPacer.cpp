#include "SenderPacer.h"

std::chrono::nanoseconds FSenderPacer::ScheduleOf(std::chrono::nanoseconds StreamOffset) const
{
	// Speed 1 stays exact; other speeds round to the nanosecond, far below what a sleep can resolve.
	return Speed == 1.0 ? StreamOffset : std::chrono::nanoseconds(int64_t(double(StreamOffset.count()) / Speed));
}
