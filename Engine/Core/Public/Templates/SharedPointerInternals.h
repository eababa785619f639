#pragma once

#include "CoreTypes.h"

/** How a shared pointer counts its references. Every mode counts atomically in this stand-in. */
enum class ESPMode : uint8
{
	NotThreadSafe = 0,
	Fast = 1,
	ThreadSafe = 1,
};
