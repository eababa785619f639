#pragma once

#include "CoreTypes.h"
#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

/** Something that log lines are written to. */
class CORE_API FOutputDevice
{
public:
	virtual ~FOutputDevice() = default;
	/** Takes one line, without its category and verbosity prefix. May be called from any thread. */
	virtual void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) = 0;
};
