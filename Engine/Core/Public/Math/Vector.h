#pragma once

#include "CoreTypes.h"

/** A 3D vector in single precision, as the engine's was before it moved to doubles. */
struct FVector
{
	float X = 0.0f;
	float Y = 0.0f;
	float Z = 0.0f;

	constexpr FVector() = default;
	constexpr FVector(float InX, float InY, float InZ)
	    : X(InX)
	    , Y(InY)
	    , Z(InZ)
	{
	}

	static constexpr FVector ZeroVector() { return FVector(0.0f, 0.0f, 0.0f); }
	static constexpr FVector OneVector() { return FVector(1.0f, 1.0f, 1.0f); }

	constexpr bool operator==(const FVector& Other) const { return X == Other.X && Y == Other.Y && Z == Other.Z; }
	constexpr bool operator!=(const FVector& Other) const { return !(*this == Other); }
};
