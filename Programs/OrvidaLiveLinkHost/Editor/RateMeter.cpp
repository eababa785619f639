#include "Editor/RateMeter.h"

double FHostRateMeter::Update(int64_t Count, std::chrono::steady_clock::time_point Now)
{
	if (!bStarted || Count < ReferenceCount)
	{
		bStarted = true;
		ReferenceCount = Count;
		ReferenceTime = Now;
		Rate = 0.0;
		return Rate;
	}
	const std::chrono::duration<double> Interval = Now - ReferenceTime;
	if (Interval >= std::chrono::seconds(1))
	{
		Rate = double(Count - ReferenceCount) / Interval.count();
		ReferenceCount = Count;
		ReferenceTime = Now;
	}
	return Rate;
}
