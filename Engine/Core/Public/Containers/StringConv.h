// Conversions between the engine's UTF-16 text and 8-bit text. An unpaired surrogate or a malformed UTF-8
// sequence becomes U+FFFD, so a conversion never fails and never drops the rest of the text.
#pragma once

#include "CoreTypes.h"

#include <string>

class CORE_API FTCHARToUTF8
{
public:
	/** Converts Source (Length code units, or up to its terminator when Length is negative). Null reads as empty. */
	explicit FTCHARToUTF8(const TCHAR* Source, int32 Length = -1);

	const ANSICHAR* Get() const { return Converted.c_str(); }
	int32 Length() const { return int32(Converted.size()); }

private:
	std::string Converted;
};

class CORE_API FUTF8ToTCHAR
{
public:
	/** Converts Source (Length bytes, or up to its terminator when Length is negative). Null reads as empty. */
	explicit FUTF8ToTCHAR(const ANSICHAR* Source, int32 Length = -1);

	const TCHAR* Get() const { return Converted.c_str(); }
	int32 Length() const { return int32(Converted.size()); }

private:
	std::basic_string<TCHAR> Converted;
};

/**
 * The engine's 8-bit character conversion: ASCII passes unchanged and every byte from 0x80 up becomes '?'. It does
 * not read UTF-8, nor widen bytes as Latin-1; text that may hold more than ASCII needs FUTF8ToTCHAR.
 */
inline TCHAR ToTCHARFromAnsi(ANSICHAR Character) { return static_cast<unsigned char>(Character) < 0x80 ? TCHAR(Character) : TCHAR('?'); }

/** Converts 8-bit text character by character with ToTCHARFromAnsi, as the engine's ANSI conversion does. */
class CORE_API FANSIToTCHAR
{
public:
	explicit FANSIToTCHAR(const ANSICHAR* Source, int32 Length = -1);

	const TCHAR* Get() const { return Converted.c_str(); }
	int32 Length() const { return int32(Converted.size()); }

private:
	std::basic_string<TCHAR> Converted;
};

#define TCHAR_TO_UTF8(Str) (FTCHARToUTF8((const TCHAR*)(Str)).Get())
#define UTF8_TO_TCHAR(Str) (FUTF8ToTCHAR((const ANSICHAR*)(Str)).Get())
#define ANSI_TO_TCHAR(Str) (FANSIToTCHAR((const ANSICHAR*)(Str)).Get())
