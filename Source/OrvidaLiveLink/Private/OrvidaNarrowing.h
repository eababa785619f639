#pragma once

#include "CoreMinimal.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace OrvidaLiveLink
{
/**
 * Double to single precision, to nearest. Beyond the single range the result is infinity of the same sign:
 * a plain conversion of such a value is undefined, and message values come from the network.
 */
inline float NarrowToSingle(double Value)
{
	if (std::fabs(Value) > double(FLT_MAX))
	{
		return std::signbit(Value) ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
	}
	return float(Value);
}
} // namespace OrvidaLiveLink
