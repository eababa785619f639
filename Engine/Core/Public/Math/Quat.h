#pragma once

#include "CoreTypes.h"

/** A rotation quaternion X, Y, Z, W in single precision. Nothing normalises it behind the caller's back. */
struct FQuat
{
	float X = 0.0f;
	float Y = 0.0f;
	float Z = 0.0f;
	float W = 1.0f;

	constexpr FQuat() = default;
	constexpr FQuat(float InX, float InY, float InZ, float InW)
	    : X(InX)
	    , Y(InY)
	    , Z(InZ)
	    , W(InW)
	{
	}

	static constexpr FQuat Identity() { return FQuat(0.0f, 0.0f, 0.0f, 1.0f); }

	constexpr bool operator==(const FQuat& Other) const { return X == Other.X && Y == Other.Y && Z == Other.Z && W == Other.W; }
	constexpr bool operator!=(const FQuat& Other) const { return !(*this == Other); }
};
