#pragma once

#include "CoreTypes.h"

struct CORE_API FParse
{
	/** True when Stream holds "-Param" (ignoring case) as a whole word. Null reads as empty. */
	static bool Param(const TCHAR* Stream, const TCHAR* Param);
};
