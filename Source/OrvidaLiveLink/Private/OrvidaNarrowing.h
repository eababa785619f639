#pragma once

#include "CoreMinimal.h"
#include "Math/Vector.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>

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

/** The engine's vector and quaternion component: float in 4.27, double in 5.x. */
using FEngineReal = decltype(FVector::X);

/** Double to the engine's component: narrowed as NarrowToSingle does where that is float, unchanged where double. */
inline FEngineReal ToEngineReal(double Value)
{
	if constexpr (std::is_same_v<FEngineReal, float>)
	{
		return NarrowToSingle(Value);
	}
	else
	{
		return static_cast<FEngineReal>(Value);
	}
}
} // namespace OrvidaLiveLink
