// The log's standard-error device, which a program of the stand-in's removes to keep its output clean (the
// decode command, the fuzzer). The engine's programs configure their log devices from the command line.
#pragma once

#include "CoreTypes.h"

class FOutputDevice;

struct CORE_API FStandInLog
{
	/** The device that writes to standard error, which the log starts with; never null. Any thread. */
	static FOutputDevice* GetStandardErrorDevice();
};
