// Between the engine's UTF-16 text and the UTF-8 that the parser reads and writes.
#pragma once

#include "CoreMinimal.h"

#include <string>
#include <string_view>

namespace UE::Json::Private
{
/**
 * Text as the parser is to read it: Text in UTF-8, with every ASCII capital outside strings made lower case. The
 * engine reads true, false and null in any letter case and the parser only in lower case; outside strings the
 * only other letter JSON allows is a number's exponent, where "e" and "E" are alike, so no text changes meaning.
 * False when Text holds a surrogate that is not part of a pair: such text has no UTF-8 form.
 */
bool ConvertToParserText(const FString& Text, std::string& OutUtf8);

/** The engine string for a string or name the parser read, which is always valid UTF-8. */
FString ConvertToString(std::string_view Utf8);
} // namespace UE::Json::Private
