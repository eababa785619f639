#pragma once

#include "CoreTypes.h"

/** Space around a child, in Slate units. */
struct FMargin
{
	float Left = 0.0f;
	float Top = 0.0f;
	float Right = 0.0f;
	float Bottom = 0.0f;

	FMargin() = default;
	/** The same space on all four sides. */
	FMargin(float Uniform)
	    : Left(Uniform)
	    , Top(Uniform)
	    , Right(Uniform)
	    , Bottom(Uniform)
	{
	}
	FMargin(float Horizontal, float Vertical)
	    : Left(Horizontal)
	    , Top(Vertical)
	    , Right(Horizontal)
	    , Bottom(Vertical)
	{
	}
	FMargin(float InLeft, float InTop, float InRight, float InBottom)
	    : Left(InLeft)
	    , Top(InTop)
	    , Right(InRight)
	    , Bottom(InBottom)
	{
	}

	bool operator==(const FMargin& Other) const { return Left == Other.Left && Top == Other.Top && Right == Other.Right && Bottom == Other.Bottom; }
	bool operator!=(const FMargin& Other) const { return !(*this == Other); }
};
