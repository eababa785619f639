#include "OrvidaJsonNesting.h"

bool FOrvidaJsonNesting::IsTooDeep(const uint8* Bytes, int32 Count)
{
	// Bytes of multi-byte UTF-8 characters are all 0x80 or above, so no ASCII bracket, quote or backslash can
	// hide inside one: scanning bytes sees the same structure as scanning the decoded text.
	int32 Depth = 0;
	bool bInString = false;
	bool bEscaped = false;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const uint8 Byte = Bytes[Index];
		if (Byte == 0)
		{
			continue;
		}
		if (bInString)
		{
			if (bEscaped)
			{
				bEscaped = false;
			}
			else if (Byte == '\\')
			{
				bEscaped = true;
			}
			else if (Byte == '"')
			{
				bInString = false;
			}
		}
		else if (Byte == '"')
		{
			bInString = true;
		}
		else if (Byte == '[' || Byte == '{')
		{
			if (++Depth > MaxDepth)
			{
				return true;
			}
		}
		else if ((Byte == ']' || Byte == '}') && Depth > 0)
		{
			--Depth;
		}
	}
	return false;
}
