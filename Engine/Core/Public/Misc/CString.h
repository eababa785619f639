// TCString: the engine's helpers for terminated strings of one character type; only what callers here use.
#pragma once

#include "CoreTypes.h"
#include "Misc/Char.h"

template <typename T> struct TCString
{
	typedef T CharType;

	/**
	 * Reads a decimal integer: leading white space, an optional '+' or '-', then digits up to the first character
	 * that is not one. A value beyond the 32-bit range saturates at 2147483647 or -2147483648, as the Windows
	 * runtime's _wtoi behind the engine's Atoi does. No digits (an empty text, "b12", a lone sign) read as 0.
	 * String must not be null: the engine's Atoi reads through it unchecked, and here check() stops the process.
	 */
	static int32 Atoi(const CharType* String)
	{
		check(String != nullptr);
		while (TChar<CharType>::IsWhitespace(*String))
		{
			++String;
		}
		const bool bNegative = *String == CharType('-');
		if (*String == CharType('-') || *String == CharType('+'))
		{
			++String;
		}
		// Accumulated as a magnitude in 64 bits and capped just past the 32-bit limit, so that no run of digits,
		// however long, can overflow the accumulator.
		const int64 Cap = int64(2147483648);
		int64 Magnitude = 0;
		for (; TChar<CharType>::IsDigit(*String); ++String)
		{
			Magnitude = Magnitude * 10 + (*String - CharType('0'));
			if (Magnitude > Cap)
			{
				Magnitude = Cap;
			}
		}
		if (bNegative)
		{
			return int32(-Magnitude);
		}
		return Magnitude >= Cap ? int32(2147483647) : int32(Magnitude);
	}
};

typedef TCString<TCHAR> FCString;
