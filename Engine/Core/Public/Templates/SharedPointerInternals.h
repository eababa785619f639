#pragma once

#include "CoreTypes.h"
#include "Runtime/Launch/Resources/Version.h"

// The engine sets it on platforms whose memory is weakly ordered; x86 is not one of them.
#ifndef FORCE_THREADSAFE_SHAREDPTRS
#define FORCE_THREADSAFE_SHAREDPTRS 0
#endif

/**
 * How a shared pointer counts its references. Every mode counts atomically in this stand-in, but the modes are
 * distinct types as in the engine. 4.27's default is Fast, which is NotThreadSafe on x86; 5.x removed Fast and
 * defaults to ThreadSafe.
 */
#if ENGINE_MAJOR_VERSION >= 5
enum class ESPMode : uint8
{
	NotThreadSafe = 0,
	ThreadSafe = 1,
};
#else
enum class ESPMode : uint8
{
	NotThreadSafe = 0,
	Fast = FORCE_THREADSAFE_SHAREDPTRS ? 1 : 0,
	ThreadSafe = 1,
};
#endif

namespace SharedPointerInternals
{
/** The mode of a shared pointer, reference or MakeShared that names none. */
#if ENGINE_MAJOR_VERSION >= 5
inline constexpr ESPMode DefaultMode = ESPMode::ThreadSafe;
#else
inline constexpr ESPMode DefaultMode = ESPMode::Fast;
#endif
} // namespace SharedPointerInternals
