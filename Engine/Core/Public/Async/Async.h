#pragma once

#include "CoreTypes.h"

struct CORE_API FAsyncThreadIndex
{
	/** A process-wide running number, 0 first; safe from any thread. */
	static int32 GetNext();
};
