#pragma once

#include "CoreTypes.h"

/** A frame rate as a ratio, numerator over denominator frames per second; 60000/1 by default. */
struct FFrameRate
{
	int32 Numerator = 60000;
	int32 Denominator = 1;

	constexpr FFrameRate() = default;
	constexpr FFrameRate(uint32 InNumerator, uint32 InDenominator)
	    : Numerator(int32(InNumerator))
	    , Denominator(int32(InDenominator))
	{
	}

	/** Frames per second; 0 for a rate with no denominator. */
	constexpr double AsDecimal() const { return Denominator == 0 ? 0.0 : double(Numerator) / double(Denominator); }

	constexpr bool operator==(const FFrameRate& Other) const { return Numerator == Other.Numerator && Denominator == Other.Denominator; }
	constexpr bool operator!=(const FFrameRate& Other) const { return !(*this == Other); }
};
