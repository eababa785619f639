#pragma once

#include "CoreMinimal.h"

#include <string>

/** The engine's text as the host's UTF-8, for the console, the API and files. */
inline std::string ToUtf8(const FString& Text) { return TCHAR_TO_UTF8(*Text); }
inline std::string ToUtf8(const FText& Text) { return ToUtf8(Text.ToString()); }

/** UTF-8 from the command line, the API or a file as the engine's text. */
inline FString ToFString(const std::string& Text) { return FString(UTF8_TO_TCHAR(Text.c_str())); }
