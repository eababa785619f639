#include "HAL/PlatformString.h"

#include "Misc/Char.h"

int32 _wtoi(const TCHAR* String)
{
	if (String == nullptr)
	{
		return 0;
	}
	while (FChar::IsWhitespace(*String))
	{
		++String;
	}
	const bool bNegative = *String == TEXT('-');
	if (*String == TEXT('-') || *String == TEXT('+'))
	{
		++String;
	}
	// Accumulated as a magnitude in 64 bits and capped just past the 32-bit limit, so that no run of digits,
	// however long, can overflow the accumulator.
	const int64 Cap = int64(2147483648);
	int64 Magnitude = 0;
	for (; FChar::IsDigit(*String); ++String)
	{
		Magnitude = Magnitude * 10 + (*String - TEXT('0'));
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
