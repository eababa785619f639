#include "Misc/AssertionMacros.h"

#include <cstdio>
#include <cstdlib>

void FDebug::AssertFailed(const ANSICHAR* Expression, const ANSICHAR* File, int32 Line)
{
	std::fprintf(stderr, "Assertion failed: %s [%s:%d]\n", Expression, File, int(Line));
	std::abort();
}
