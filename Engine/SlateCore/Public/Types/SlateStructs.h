#pragma once

#include "CoreTypes.h"

/** A size that may be left unset, meaning "use the content's own size". */
struct FOptionalSize
{
	/** Unset. */
	FOptionalSize() = default;
	/** A set size; negative values are kept as given (the host decides how to show them). */
	FOptionalSize(float InSize)
	    : Size(InSize)
	    , bIsSet(true)
	{
	}

	bool IsSet() const { return bIsSet; }
	/** The size, or 0 when unset. */
	float Get() const { return bIsSet ? Size : 0.0f; }

	bool operator==(const FOptionalSize& Other) const { return bIsSet == Other.bIsSet && (!bIsSet || Size == Other.Size); }

private:
	float Size = 0.0f;
	bool bIsSet = false;
};
