#include "Containers/StringConv.h"

#include <cstring>
#include <string_view>

namespace
{
constexpr char32_t ReplacementCharacter = 0xFFFD;

void AppendUTF8(std::string& Out, char32_t CodePoint)
{
	if (CodePoint < 0x80)
	{
		Out.push_back(char(CodePoint));
	}
	else if (CodePoint < 0x800)
	{
		Out.push_back(char(0xC0 | (CodePoint >> 6)));
		Out.push_back(char(0x80 | (CodePoint & 0x3F)));
	}
	else if (CodePoint < 0x10000)
	{
		Out.push_back(char(0xE0 | (CodePoint >> 12)));
		Out.push_back(char(0x80 | ((CodePoint >> 6) & 0x3F)));
		Out.push_back(char(0x80 | (CodePoint & 0x3F)));
	}
	else
	{
		Out.push_back(char(0xF0 | (CodePoint >> 18)));
		Out.push_back(char(0x80 | ((CodePoint >> 12) & 0x3F)));
		Out.push_back(char(0x80 | ((CodePoint >> 6) & 0x3F)));
		Out.push_back(char(0x80 | (CodePoint & 0x3F)));
	}
}

void AppendUTF16(std::u16string& Out, char32_t CodePoint)
{
	if (CodePoint < 0x10000)
	{
		Out.push_back(char16_t(CodePoint));
	}
	else
	{
		CodePoint -= 0x10000;
		Out.push_back(char16_t(0xD800 | (CodePoint >> 10)));
		Out.push_back(char16_t(0xDC00 | (CodePoint & 0x3FF)));
	}
}

int32 LengthOf(const TCHAR* Source, int32 Length)
{
	if (Source == nullptr)
	{
		return 0;
	}
	return Length >= 0 ? Length : int32(std::u16string_view(Source).size());
}

int32 LengthOf(const ANSICHAR* Source, int32 Length)
{
	if (Source == nullptr)
	{
		return 0;
	}
	return Length >= 0 ? Length : int32(std::strlen(Source));
}

// Decodes one UTF-8 sequence at Bytes[Index]; advances Index past what it consumed.
char32_t DecodeUTF8(const unsigned char* Bytes, int32 Count, int32& Index)
{
	const unsigned char Lead = Bytes[Index++];
	if (Lead < 0x80)
	{
		return Lead;
	}
	int32 Trail = 0;
	char32_t CodePoint = 0;
	char32_t Minimum = 0;
	if ((Lead & 0xE0) == 0xC0)
	{
		Trail = 1;
		CodePoint = Lead & 0x1F;
		Minimum = 0x80;
	}
	else if ((Lead & 0xF0) == 0xE0)
	{
		Trail = 2;
		CodePoint = Lead & 0x0F;
		Minimum = 0x800;
	}
	else if ((Lead & 0xF8) == 0xF0)
	{
		Trail = 3;
		CodePoint = Lead & 0x07;
		Minimum = 0x10000;
	}
	else
	{
		return ReplacementCharacter;
	}
	for (int32 Step = 0; Step < Trail; ++Step)
	{
		if (Index >= Count || (Bytes[Index] & 0xC0) != 0x80)
		{
			return ReplacementCharacter;
		}
		CodePoint = (CodePoint << 6) | (Bytes[Index++] & 0x3F);
	}
	const bool bSurrogate = CodePoint >= 0xD800 && CodePoint <= 0xDFFF;
	return (CodePoint < Minimum || CodePoint > 0x10FFFF || bSurrogate) ? ReplacementCharacter : CodePoint;
}
} // namespace

FTCHARToUTF8::FTCHARToUTF8(const TCHAR* Source, int32 Length)
{
	const int32 Count = LengthOf(Source, Length);
	Converted.reserve(Count);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const char32_t Unit = Source[Index];
		if (Unit >= 0xD800 && Unit <= 0xDBFF && Index + 1 < Count && Source[Index + 1] >= 0xDC00 && Source[Index + 1] <= 0xDFFF)
		{
			AppendUTF8(Converted, 0x10000 + ((Unit - 0xD800) << 10) + (Source[Index + 1] - 0xDC00));
			++Index;
		}
		else if (Unit >= 0xD800 && Unit <= 0xDFFF)
		{
			AppendUTF8(Converted, ReplacementCharacter);
		}
		else
		{
			AppendUTF8(Converted, Unit);
		}
	}
}

FUTF8ToTCHAR::FUTF8ToTCHAR(const ANSICHAR* Source, int32 Length)
{
	const int32 Count = LengthOf(Source, Length);
	const unsigned char* Bytes = reinterpret_cast<const unsigned char*>(Source);
	Converted.reserve(Count);
	for (int32 Index = 0; Index < Count;)
	{
		AppendUTF16(Converted, DecodeUTF8(Bytes, Count, Index));
	}
}

FANSIToTCHAR::FANSIToTCHAR(const ANSICHAR* Source, int32 Length)
{
	const int32 Count = LengthOf(Source, Length);
	Converted.resize(Count);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Converted[Index] = ToTCHARFromAnsi(Source[Index]);
	}
}
