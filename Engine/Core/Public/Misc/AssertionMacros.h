// check() stays on in every build here: the stand-in favours loud failure over speed.
#pragma once

#include "HAL/Platform.h"

struct CORE_API FDebug
{
	/** Prints the failed expression with its place and aborts the process. Never returns. */
	[[noreturn]] static void AssertFailed(const ANSICHAR* Expression, const ANSICHAR* File, int32 Line);
};

#define check(Expression)                                                                                                                                      \
	do                                                                                                                                                         \
	{                                                                                                                                                          \
		if (!(Expression))                                                                                                                                     \
		{                                                                                                                                                      \
			FDebug::AssertFailed(#Expression, __FILE__, __LINE__);                                                                                             \
		}                                                                                                                                                      \
	} while (false)
#define checkf(Expression, ...) check(Expression)
#define checkNoEntry() FDebug::AssertFailed("Enclosing block should never be called", __FILE__, __LINE__)
#define verify(Expression) check(Expression)
