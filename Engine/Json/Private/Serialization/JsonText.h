// Between the engine's UTF-16 text and the UTF-8 that the parser reads and writes.
#pragma once

#include "CoreMinimal.h"

#include <string_view>

namespace UE::Json::Private
{
/** The most UTF-8 bytes one UTF-16 code unit can need: three (a surrogate pair needs four for two units). */
constexpr SIZE_T MaxUtf8BytesPerUnit = 3;

/**
 * Writes Length code units of Source to Out as UTF-8, which must have room for MaxUtf8BytesPerUnit * Length bytes.
 * Returns the number of bytes written, or -1 when Source holds a surrogate that is not part of a pair (such text
 * has no UTF-8 form). U+0000 is written as a zero byte, which the parser then refuses as it refuses any control
 * character outside a string.
 */
int64 ConvertToUtf8(const TCHAR* Source, int32 Length, char* Out);

/**
 * The engine string for UTF-8 text. The parser hands over only valid UTF-8; a malformed or cut-off sequence would
 * become U+FFFD rather than be read past its end.
 */
FString ConvertToString(std::string_view Utf8);
} // namespace UE::Json::Private
