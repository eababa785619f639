// Character classification as the engine does it: letter case is folded for ASCII only.
#pragma once

#include "CoreTypes.h"

template <typename CharType> struct TChar
{
	static constexpr CharType ToUpper(CharType Char) { return (Char >= 'a' && Char <= 'z') ? CharType(Char - ('a' - 'A')) : Char; }
	static constexpr CharType ToLower(CharType Char) { return (Char >= 'A' && Char <= 'Z') ? CharType(Char + ('a' - 'A')) : Char; }
	static constexpr bool IsDigit(CharType Char) { return Char >= '0' && Char <= '9'; }
	static constexpr bool IsWhitespace(CharType Char) { return Char == ' ' || Char == '\t' || Char == '\n' || Char == '\r' || Char == '\v' || Char == '\f'; }
};

typedef TChar<TCHAR> FChar;
typedef TChar<ANSICHAR> FCharAnsi;
