#include "UObject/UnrealType.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace
{
const FString GEmptyMetaData;

/** The text without surrounding blanks, as 8-bit characters; false when it holds anything outside ASCII. */
bool ToAsciiTrimmed(const FString& Text, std::string& Out)
{
	const FString Trimmed = Text.TrimStartAndEnd();
	Out.clear();
	for (int32 Index = 0; Index < Trimmed.Len(); ++Index)
	{
		if (Trimmed[Index] > 0x7f)
		{
			return false;
		}
		Out.push_back(char(Trimmed[Index]));
	}
	return !Out.empty();
}
} // namespace

FProperty::FProperty(const FName& InName, int32 InOffset, EPropertyFlags InFlags)
    : Name(InName)
    , Offset(InOffset)
    , Flags(InFlags)
{
}

FProperty::~FProperty() = default;

const FString& FProperty::GetMetaData(const TCHAR* Key) const
{
	if (Key == nullptr)
	{
		return GEmptyMetaData;
	}
	const auto Found = MetaData.find(std::u16string(Key));
	return Found != MetaData.end() ? Found->second : GEmptyMetaData;
}

bool FProperty::HasMetaData(const TCHAR* Key) const { return Key != nullptr && MetaData.count(std::u16string(Key)) != 0; }

void FProperty::SetMetaData(const TCHAR* Key, const FString& Value)
{
	if (Key != nullptr)
	{
		MetaData[std::u16string(Key)] = Value;
	}
}

FString FProperty::ExportText_InContainer(const void* Container) const
{
	return Container != nullptr ? ExportValue(ContainerPtrToValuePtr<void>(Container)) : FString();
}

bool FProperty::ImportText_InContainer(const FString& Text, void* Container) const
{
	return Container != nullptr && ImportValue(Text, ContainerPtrToValuePtr<void>(Container));
}

FString FStrProperty::ExportValue(const void* Value) const { return *static_cast<const FString*>(Value); }

bool FStrProperty::ImportValue(const FString& Text, void* Value) const
{
	*static_cast<FString*>(Value) = Text;
	return true;
}

FString FIntProperty::ExportValue(const void* Value) const { return FString::FromInt(*static_cast<const int32*>(Value)); }

bool FIntProperty::ImportValue(const FString& Text, void* Value) const
{
	std::string Ascii;
	if (!ToAsciiTrimmed(Text, Ascii))
	{
		return false;
	}
	// from_chars takes no leading '+', which a hand-edited file may well have.
	const char* First = Ascii.data() + (Ascii[0] == '+' && Ascii.size() > 1 && Ascii[1] != '-' ? 1 : 0);
	const char* Last = Ascii.data() + Ascii.size();
	int32 Parsed = 0;
	const std::from_chars_result Result = std::from_chars(First, Last, Parsed, 10);
	if (Result.ec != std::errc() || Result.ptr != Last)
	{
		return false;
	}
	*static_cast<int32*>(Value) = Parsed;
	return true;
}

FString FBoolProperty::ExportValue(const void* Value) const { return *static_cast<const bool*>(Value) ? TEXT("True") : TEXT("False"); }

bool FBoolProperty::ImportValue(const FString& Text, void* Value) const
{
	static const TCHAR* const TrueWords[] = {TEXT("True"), TEXT("Yes"), TEXT("On"), TEXT("1")};
	static const TCHAR* const FalseWords[] = {TEXT("False"), TEXT("No"), TEXT("Off"), TEXT("0")};
	const FString Trimmed = Text.TrimStartAndEnd();
	for (const TCHAR* Word : TrueWords)
	{
		if (Trimmed.Equals(Word, ESearchCase::IgnoreCase))
		{
			*static_cast<bool*>(Value) = true;
			return true;
		}
	}
	for (const TCHAR* Word : FalseWords)
	{
		if (Trimmed.Equals(Word, ESearchCase::IgnoreCase))
		{
			*static_cast<bool*>(Value) = false;
			return true;
		}
	}
	return false;
}

FString FFloatProperty::ExportValue(const void* Value) const
{
	char Buffer[64];
	const std::to_chars_result Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), *static_cast<const float*>(Value));
	return FString(std::string(Buffer, Result.ptr).c_str());
}

bool FFloatProperty::ImportValue(const FString& Text, void* Value) const
{
	std::string Ascii;
	if (!ToAsciiTrimmed(Text, Ascii))
	{
		return false;
	}
	const char* First = Ascii.data() + (Ascii[0] == '+' && Ascii.size() > 1 && Ascii[1] != '-' ? 1 : 0);
	const char* Last = Ascii.data() + Ascii.size();
	float Parsed = 0.0f;
	const std::from_chars_result Result = std::from_chars(First, Last, Parsed);
	if (Result.ec != std::errc() || Result.ptr != Last || !std::isfinite(Parsed))
	{
		return false;
	}
	*static_cast<float*>(Value) = Parsed;
	return true;
}
