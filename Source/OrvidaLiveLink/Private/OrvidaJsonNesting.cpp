#include "OrvidaJsonNesting.h"

namespace OrvidaJsonNesting
{
enum EByteClass : uint8
{
	Other,
	Open,
	Close,
	Quote,
	Backslash,
};

/** Most bytes are Other, so the scan spends its time in one table lookup per byte. */
struct FByteClasses
{
	uint8 Classes[256] = {};

	constexpr FByteClasses()
	{
		Classes[uint8('[')] = Open;
		Classes[uint8('{')] = Open;
		Classes[uint8(']')] = Close;
		Classes[uint8('}')] = Close;
		Classes[uint8('"')] = Quote;
		Classes[uint8('\\')] = Backslash;
	}
};

constexpr FByteClasses ByteClasses;
} // namespace OrvidaJsonNesting

bool FOrvidaJsonNesting::IsTooDeep(const uint8* Bytes, int32 Count)
{
	using namespace OrvidaJsonNesting;

	// Nesting can go no deeper than the text has opening brackets, and counting those is one branch-free pass the
	// compiler vectorises; a camera message has about ten. Only text with more pays for the exact scan.
	int32 Openings = 0;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Openings += int32(Bytes[Index] == '[') + int32(Bytes[Index] == '{');
	}
	if (Openings <= MaxDepth)
	{
		return false;
	}

	// Bytes of multi-byte UTF-8 characters are all 0x80 or above, so no ASCII bracket, quote or backslash can
	// hide inside one: scanning bytes sees the same structure as scanning the decoded text. Zero bytes are Other,
	// which skips them as the decoder drops them, except right after a backslash in a string; there the byte
	// after the zero is the one escaped, so the escape waits for a byte that is not zero.
	int32 Depth = 0;
	bool bInString = false;
	bool bEscaped = false;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const uint8 Byte = Bytes[Index];
		const uint8 Class = ByteClasses.Classes[Byte];
		if (bEscaped)
		{
			bEscaped = Byte == 0;
			continue;
		}
		if (Class == Other)
		{
			continue;
		}
		if (bInString)
		{
			bEscaped = Class == Backslash;
			bInString = Class != Quote;
		}
		else if (Class == Quote)
		{
			bInString = true;
		}
		else if (Class == Open)
		{
			if (++Depth > MaxDepth)
			{
				return true;
			}
		}
		else if (Class == Close && Depth > 0)
		{
			--Depth;
		}
	}
	return false;
}
