// Fixed-width types, character types and the compiler glue every engine header relies on.
#pragma once

#include <cstddef>
#include <cstdint>

typedef std::uint8_t uint8;
typedef std::uint16_t uint16;
typedef std::uint32_t uint32;
typedef std::uint64_t uint64;
typedef std::int8_t int8;
typedef std::int16_t int16;
typedef std::int32_t int32;
typedef std::int64_t int64;

// The engine's Linux and Mac builds make WIDECHAR char16_t; its Windows builds make it wchar_t, 16 bits under
// MSVC. Either way TCHAR is a 16-bit code unit and FString holds UTF-16. The stand-in's libraries are built
// the Linux way; 0 is for checking that code compiles against the Windows one (with -fshort-wchar).
#ifndef PLATFORM_TCHAR_IS_CHAR16
#define PLATFORM_TCHAR_IS_CHAR16 1
#endif

typedef char ANSICHAR;
#if PLATFORM_TCHAR_IS_CHAR16
typedef char16_t WIDECHAR;
#else
typedef wchar_t WIDECHAR;
#endif
typedef unsigned char UTF8CHAR;
typedef WIDECHAR TCHAR;
static_assert(sizeof(TCHAR) == 2, "TCHAR holds UTF-16 code units: a wchar_t TCHAR needs a 16-bit wchar_t");

typedef std::size_t SIZE_T;
typedef std::ptrdiff_t SSIZE_T;
typedef std::uintptr_t UPTRINT;

#if PLATFORM_TCHAR_IS_CHAR16
#define TEXT_PASTE(x) u##x
#else
#define TEXT_PASTE(x) L##x
#endif
#define TEXT(x) TEXT_PASTE(x)

#define FORCEINLINE inline __attribute__((always_inline))
#define FORCENOINLINE __attribute__((noinline))
#define DLLEXPORT __attribute__((visibility("default")))
#define DLLIMPORT __attribute__((visibility("default")))

#define PLATFORM_LINUX 1
#define PLATFORM_WINDOWS 0
#define PLATFORM_LITTLE_ENDIAN 1

#define UE_ARRAY_COUNT(Array) (sizeof(Array) / sizeof((Array)[0]))

enum
{
	INDEX_NONE = -1
};
