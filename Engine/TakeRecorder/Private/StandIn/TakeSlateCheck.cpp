#include "TakeSlateCheck.h"

namespace
{
/** The characters that an asset's long package name may not hold. */
const TCHAR* const RefusedCharacters = TEXT(" \t\r\n.,'&!~@#\\:*?\"<>|");

FString DescribeCharacter(TCHAR Character)
{
	switch (Character)
	{
	case TEXT(' '):
		return TEXT("a space");
	case TEXT('\t'):
		return TEXT("a tab");
	case TEXT('\r'):
		return TEXT("a carriage return");
	case TEXT('\n'):
		return TEXT("a line feed");
	default:
		return TEXT("'") + FString(1, &Character) + TEXT("'");
	}
}
} // namespace

FString TakeSlateCheck::FindFault(const FString& Slate)
{
	if (Slate.IsEmpty())
	{
		return TEXT("the slate is empty; enter a slate to name the take");
	}
	for (int32 Index = 0; Index < Slate.Len(); ++Index)
	{
		const TCHAR Character = Slate[Index];
		for (const TCHAR* Refused = RefusedCharacters; *Refused != 0; ++Refused)
		{
			if (Character == *Refused)
			{
				return FString::Printf(TEXT("the slate \"%s\" cannot name the take's asset: it holds %s; use letters, digits, '-' and '_'"), *Slate,
				                       *DescribeCharacter(Character));
			}
		}
	}
	return FString();
}
