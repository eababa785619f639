#pragma once

#include "CoreMinimal.h"

#include <cstdlib>

/**
 * How many times over the churn and stream-fault tests run their counts: ORVIDA_SOAK_SCALE, which `make soak`
 * sets. Unset, empty, not a whole number, or below 1 reads as 1; above 1000 as 1000, so that a typo cannot
 * make a run that never ends.
 */
inline int32 GetSoakScale()
{
	const char* Text = std::getenv("ORVIDA_SOAK_SCALE");
	if (Text == nullptr || *Text == '\0')
	{
		return 1;
	}
	char* End = nullptr;
	const long Scale = std::strtol(Text, &End, 10);
	if (*End != '\0' || Scale < 1)
	{
		return 1;
	}
	return Scale > 1000 ? 1000 : int32(Scale);
}
