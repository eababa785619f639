#pragma once

#include "CoreTypes.h"

/** The process's command line. Set it at start-up, before other threads read it. */
struct CORE_API FCommandLine
{
	static const TCHAR* Get();
	static bool Set(const TCHAR* NewCommandLine);
};
