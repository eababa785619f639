#pragma once

#include "CoreTypes.h"

struct CORE_API FPlatformProcess
{
	/** False when the command line holds "-nothreading". */
	static bool SupportsMultithreading();
	static void Sleep(float Seconds);
};
