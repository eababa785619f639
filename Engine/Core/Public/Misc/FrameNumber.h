#pragma once

#include "CoreTypes.h"

/** A whole frame number at some frame rate. */
struct FFrameNumber
{
	int32 Value = 0;

	constexpr FFrameNumber() = default;
	constexpr FFrameNumber(int32 InValue)
	    : Value(InValue)
	{
	}

	constexpr bool operator==(FFrameNumber Other) const { return Value == Other.Value; }
	constexpr bool operator!=(FFrameNumber Other) const { return Value != Other.Value; }
	constexpr bool operator<(FFrameNumber Other) const { return Value < Other.Value; }
};
