#include "Containers/UnrealString.h"

#include "Containers/StringConv.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace
{
bool CharsEqual(TCHAR A, TCHAR B, ESearchCase::Type SearchCase)
{
	return SearchCase == ESearchCase::CaseSensitive ? A == B : FChar::ToUpper(A) == FChar::ToUpper(B);
}

bool RangeEquals(const std::u16string& Text, size_t Offset, const std::u16string& Other, ESearchCase::Type SearchCase)
{
	if (Offset + Other.size() > Text.size())
	{
		return false;
	}
	for (size_t Index = 0; Index < Other.size(); ++Index)
	{
		if (!CharsEqual(Text[Offset + Index], Other[Index], SearchCase))
		{
			return false;
		}
	}
	return true;
}

void AppendNarrow(std::u16string& Out, const char* Text) { Out += FUTF8ToTCHAR(Text).Get(); }

// Formats one conversion with the C library; Modifiers holds its flags, width and precision, without a length.
template <typename ValueType> void AppendFormatted(std::u16string& Out, const std::string& Modifiers, const char* LengthAndConversion, ValueType Value)
{
	const std::string Full = "%" + Modifiers + LengthAndConversion;
	char Small[128];
	const int Needed = std::snprintf(Small, sizeof(Small), Full.c_str(), Value);
	if (Needed < 0)
	{
		return;
	}
	if (size_t(Needed) < sizeof(Small))
	{
		AppendNarrow(Out, Small);
		return;
	}
	std::string Large(size_t(Needed) + 1, '\0');
	std::snprintf(Large.data(), Large.size(), Full.c_str(), Value);
	AppendNarrow(Out, Large.c_str());
}

// Applies width and precision in characters, as the engine's wide printf does. Handing the text to the C library
// as UTF-8 would count bytes instead, and a precision could cut a character in half.
void AppendText(std::u16string& Out, const std::string& Options, std::u16string_view Text)
{
	size_t Index = 0;
	bool bLeftAlign = false;
	for (; Index < Options.size() && std::strchr("-+ #0", Options[Index]) != nullptr; ++Index)
	{
		bLeftAlign |= Options[Index] == '-';
	}
	size_t Width = 0;
	for (; Index < Options.size() && Options[Index] >= '0' && Options[Index] <= '9'; ++Index)
	{
		Width = Width * 10 + size_t(Options[Index] - '0');
	}
	if (Index < Options.size() && Options[Index] == '.')
	{
		size_t Precision = 0;
		for (++Index; Index < Options.size() && Options[Index] >= '0' && Options[Index] <= '9'; ++Index)
		{
			Precision = Precision * 10 + size_t(Options[Index] - '0');
		}
		if (Precision < Text.size())
		{
			// Never keep the first half of a surrogate pair without its second.
			const bool bSplitsPair = Precision > 0 && Text[Precision - 1] >= 0xD800 && Text[Precision - 1] <= 0xDBFF;
			Text = Text.substr(0, bSplitsPair ? Precision - 1 : Precision);
		}
	}
	const size_t Padding = Width > Text.size() ? Width - Text.size() : 0;
	if (!bLeftAlign)
	{
		Out.append(Padding, u' ');
	}
	Out.append(Text);
	if (bLeftAlign)
	{
		Out.append(Padding, u' ');
	}
}

void AppendArgument(std::u16string& Out, const std::string& Modifiers, char Conversion, const FStringFormatArg& Arg)
{
	using EKind = FStringFormatArg::EKind;
	switch (Conversion)
	{
	case 'd':
	case 'i':
		AppendFormatted(Out, Modifiers, "lld", Arg.Kind == EKind::Double ? (long long)Arg.DoubleValue : (long long)Arg.SignedValue);
		return;
	case 'u':
	case 'x':
	case 'X':
	case 'o':
	{
		const char Length[] = {'l', 'l', Conversion, '\0'};
		unsigned long long Value = Arg.Kind == EKind::Double ? (unsigned long long)Arg.DoubleValue : (unsigned long long)Arg.UnsignedValue;
		if (Arg.Kind == EKind::Signed && Arg.IntegerBytes < sizeof(uint64))
		{
			Value &= (1ull << (8 * Arg.IntegerBytes)) - 1;
		}
		AppendFormatted(Out, Modifiers, Length, Value);
		return;
	}
	case 'f':
	case 'F':
	case 'e':
	case 'E':
	case 'g':
	case 'G':
	case 'a':
	case 'A':
	{
		const char Length[] = {Conversion, '\0'};
		const double Value = Arg.Kind == EKind::Double ? Arg.DoubleValue : Arg.Kind == EKind::Unsigned ? double(Arg.UnsignedValue) : double(Arg.SignedValue);
		AppendFormatted(Out, Modifiers, Length, Value);
		return;
	}
	case 'c':
		Out.push_back(char16_t(Arg.UnsignedValue));
		return;
	case 'p':
		AppendFormatted(Out, Modifiers, "p", Arg.Pointer);
		return;
	case 's':
		if (Arg.Kind == EKind::WideText)
		{
			AppendText(Out, Modifiers, Arg.WideText ? Arg.WideText : u"");
		}
		else if (Arg.Kind == EKind::NarrowText)
		{
			AppendText(Out, Modifiers, FUTF8ToTCHAR(Arg.NarrowText).Get());
		}
		return;
	default:
		return;
	}
}
} // namespace

FString::FString(const ANSICHAR* Text)
    : Data(FANSIToTCHAR(Text).Get())
{
}

FString::FString(int32 Count, const TCHAR* Text)
{
	if (Text != nullptr && Count > 0)
	{
		Data.assign(Text, size_t(Count));
	}
}

void FString::Empty(int32 Slack)
{
	Data.clear();
	Reserve(Slack);
}

FString& FString::Append(const TCHAR* Text, int32 Count)
{
	if (Text != nullptr && Count > 0)
	{
		Data.append(Text, size_t(Count));
	}
	return *this;
}

FString& FString::Append(const FString& Text)
{
	Data += Text.Data;
	return *this;
}

FString& FString::AppendChars(const ANSICHAR* Text, int32 Count)
{
	if (Text != nullptr && Count > 0)
	{
		const size_t Old = Data.size();
		Data.resize(Old + size_t(Count));
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Data[Old + size_t(Index)] = ToTCHARFromAnsi(Text[Index]);
		}
	}
	return *this;
}

void FString::AppendInt(int32 Number)
{
	// Widened through int64 so that the most negative value keeps its digits.
	int64 Value = Number;
	if (Value < 0)
	{
		Data.push_back(u'-');
		Value = -Value;
	}
	TCHAR Digits[16];
	int32 Count = 0;
	do
	{
		Digits[Count++] = TCHAR(u'0' + Value % 10);
		Value /= 10;
	} while (Value != 0);
	while (Count > 0)
	{
		Data.push_back(Digits[--Count]);
	}
}

bool FString::Equals(const FString& Other, ESearchCase::Type SearchCase) const
{
	// Names looked up are usually spelled as stored: one block compare settles those.
	if (Data.size() != Other.Data.size())
	{
		return false;
	}
	return Data.compare(Other.Data) == 0 || (SearchCase == ESearchCase::IgnoreCase && RangeEquals(Data, 0, Other.Data, SearchCase));
}

int32 FString::Compare(const FString& Other, ESearchCase::Type SearchCase) const
{
	const size_t Common = std::min(Data.size(), Other.Data.size());
	for (size_t Index = 0; Index < Common; ++Index)
	{
		TCHAR A = Data[Index];
		TCHAR B = Other.Data[Index];
		if (SearchCase == ESearchCase::IgnoreCase)
		{
			A = FChar::ToUpper(A);
			B = FChar::ToUpper(B);
		}
		if (A != B)
		{
			return A < B ? -1 : 1;
		}
	}
	return Data.size() == Other.Data.size() ? 0 : (Data.size() < Other.Data.size() ? -1 : 1);
}

bool FString::StartsWith(const FString& Prefix, ESearchCase::Type SearchCase) const { return RangeEquals(Data, 0, Prefix.Data, SearchCase); }

bool FString::EndsWith(const FString& Suffix, ESearchCase::Type SearchCase) const
{
	return Suffix.Data.size() <= Data.size() && RangeEquals(Data, Data.size() - Suffix.Data.size(), Suffix.Data, SearchCase);
}

int32 FString::Find(const FString& Needle, ESearchCase::Type SearchCase, int32 StartPosition) const
{
	for (size_t Offset = size_t(std::max(StartPosition, 0)); Offset + Needle.Data.size() <= Data.size(); ++Offset)
	{
		if (RangeEquals(Data, Offset, Needle.Data, SearchCase))
		{
			return int32(Offset);
		}
	}
	return INDEX_NONE;
}

FString FString::Right(int32 Count) const
{
	const int32 Kept = std::clamp(Count, 0, Len());
	return Mid(Len() - Kept, Kept);
}

FString FString::Mid(int32 Start, int32 Count) const
{
	const int64 First = std::clamp<int64>(Start, 0, Len());
	const int64 Last = std::clamp<int64>(int64(Start) + std::max(Count, 0), First, Len());
	return FString(Data.substr(size_t(First), size_t(Last - First)));
}

FString FString::TrimStartAndEnd() const
{
	size_t First = 0;
	size_t Last = Data.size();
	while (First < Last && FChar::IsWhitespace(Data[First]))
	{
		++First;
	}
	while (Last > First && FChar::IsWhitespace(Data[Last - 1]))
	{
		--Last;
	}
	return FString(Data.substr(First, Last - First));
}

FString FString::ToUpper() const
{
	std::u16string Result = Data;
	std::transform(Result.begin(), Result.end(), Result.begin(), FChar::ToUpper);
	return FString(std::move(Result));
}

FString FString::ToLower() const
{
	std::u16string Result = Data;
	std::transform(Result.begin(), Result.end(), Result.begin(), FChar::ToLower);
	return FString(std::move(Result));
}

int32 FString::ParseIntoArray(TArray<FString>& OutArray, const TCHAR* pchDelim, bool InCullEmpty) const
{
	check(pchDelim != nullptr);
	OutArray.Reset();
	const std::u16string_view Text(Data.c_str());
	const std::u16string_view Delim(pchDelim);
	if (Text.empty() || Delim.empty())
	{
		return 0;
	}
	size_t Start = 0;
	for (size_t At = Text.find(Delim); At != std::u16string_view::npos; At = Text.find(Delim, Start))
	{
		if (!InCullEmpty || At > Start)
		{
			OutArray.Emplace(int32(At - Start), Text.data() + Start);
		}
		Start = At + Delim.size();
	}
	if (!InCullEmpty || Start < Text.size())
	{
		OutArray.Emplace(int32(Text.size() - Start), Text.data() + Start);
	}
	return OutArray.Num();
}

bool FString::IsNumeric() const
{
	size_t Index = 0;
	if (Index < Data.size() && (Data[Index] == u'-' || Data[Index] == u'+'))
	{
		++Index;
	}
	bool bSeenDigit = false;
	bool bSeenDot = false;
	for (; Index < Data.size(); ++Index)
	{
		if (FChar::IsDigit(Data[Index]))
		{
			bSeenDigit = true;
		}
		else if (Data[Index] == u'.' && !bSeenDot)
		{
			bSeenDot = true;
		}
		else
		{
			return false;
		}
	}
	return bSeenDigit;
}

FString FString::FromInt(int32 Number)
{
	FString Result;
	Result.AppendInt(Number);
	return Result;
}

FString FString::PrintfImpl(const TCHAR* Format, const FStringFormatArg* Args, int32 ArgCount)
{
	std::u16string Out;
	int32 NextArg = 0;
	for (const TCHAR* Cursor = Format ? Format : u""; *Cursor != 0; ++Cursor)
	{
		if (*Cursor != u'%')
		{
			Out.push_back(*Cursor);
			continue;
		}
		++Cursor;
		if (*Cursor == u'%')
		{
			Out.push_back(u'%');
			continue;
		}
		// Flags, width and precision pass through; length modifiers are dropped because the argument's
		// captured type decides the length.
		std::string Modifiers;
		while (*Cursor != 0 && std::strchr("-+ #0123456789.", char(*Cursor)) != nullptr && *Cursor < 0x80)
		{
			Modifiers.push_back(char(*Cursor++));
		}
		while (*Cursor != 0 && *Cursor < 0x80 && std::strchr("hlLqjzt", char(*Cursor)) != nullptr)
		{
			++Cursor;
		}
		if (*Cursor == 0)
		{
			break;
		}
		if (NextArg < ArgCount)
		{
			AppendArgument(Out, Modifiers, *Cursor < 0x80 ? char(*Cursor) : '?', Args[NextArg++]);
		}
	}
	return FString(std::move(Out));
}

bool operator==(const FString& Lhs, const FString& Rhs) { return Lhs.Equals(Rhs, ESearchCase::IgnoreCase); }

bool operator==(const FString& Lhs, const TCHAR* Rhs) { return Lhs.Equals(FString(Rhs), ESearchCase::IgnoreCase); }

FString operator+(const FString& Lhs, const FString& Rhs)
{
	FString Result = Lhs;
	return Result.Append(Rhs);
}

FString operator+(const FString& Lhs, const TCHAR* Rhs) { return Lhs + FString(Rhs); }

FString operator+(const TCHAR* Lhs, const FString& Rhs) { return FString(Lhs) + Rhs; }

uint32 GetTypeHash(const FString& Text)
{
	// FNV-1a over the upper-cased code units.
	uint32 Hash = 2166136261u;
	for (const TCHAR Character : Text.GetStdString())
	{
		Hash = (Hash ^ FChar::ToUpper(Character)) * 16777619u;
	}
	return Hash;
}
