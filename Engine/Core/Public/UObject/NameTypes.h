// FName: a case-insensitive name kept once in a process-wide table. Two names are equal when their texts
// are equal ignoring letter case; the text of the first one added is the one kept for display.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

enum EFindName
{
	/** Look the name up; give NAME_None when it is not in the table. */
	FNAME_Find,
	/** Look the name up and add it when it is missing. */
	FNAME_Add,
};

class CORE_API FName
{
public:
	/** NAME_None. */
	FName() = default;
	/** An empty or null text gives NAME_None. */
	FName(const ANSICHAR* Name, EFindName FindType = FNAME_Add);
	FName(const TCHAR* Name, EFindName FindType = FNAME_Add);
	FName(const FString& Name, EFindName FindType = FNAME_Add)
	    : FName(*Name, FindType)
	{
	}

	bool IsNone() const { return ComparisonIndex == 0; }
	bool IsValid() const { return ComparisonIndex >= 0; }
	FString ToString() const;
	int32 GetComparisonIndex() const { return ComparisonIndex; }

	bool operator==(const FName& Other) const { return ComparisonIndex == Other.ComparisonIndex; }
	bool operator!=(const FName& Other) const { return ComparisonIndex != Other.ComparisonIndex; }
	/** Orders by the names' texts ignoring case, not by their table slots. */
	bool LexicalLess(const FName& Other) const { return ToString() < Other.ToString(); }

private:
	/** Slot in the name table; 0 is NAME_None. */
	int32 ComparisonIndex = 0;
};

inline uint32 GetTypeHash(const FName& Name) { return uint32(Name.GetComparisonIndex()); }

#define NAME_None FName()
