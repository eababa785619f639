#include "Serialization/JsonText.h"

namespace UE::Json::Private
{
namespace
{
void AppendUtf8(uint32 CodePoint, std::string& Out)
{
	if (CodePoint < 0x80)
	{
		Out += char(CodePoint);
	}
	else if (CodePoint < 0x800)
	{
		Out += char(0xC0 | (CodePoint >> 6));
		Out += char(0x80 | (CodePoint & 0x3F));
	}
	else if (CodePoint < 0x10000)
	{
		Out += char(0xE0 | (CodePoint >> 12));
		Out += char(0x80 | ((CodePoint >> 6) & 0x3F));
		Out += char(0x80 | (CodePoint & 0x3F));
	}
	else
	{
		Out += char(0xF0 | (CodePoint >> 18));
		Out += char(0x80 | ((CodePoint >> 12) & 0x3F));
		Out += char(0x80 | ((CodePoint >> 6) & 0x3F));
		Out += char(0x80 | (CodePoint & 0x3F));
	}
}

bool IsHighSurrogate(uint32 Unit) { return Unit >= 0xD800 && Unit < 0xDC00; }
bool IsLowSurrogate(uint32 Unit) { return Unit >= 0xDC00 && Unit < 0xE000; }
} // namespace

bool ConvertToParserText(const FString& Text, std::string& OutUtf8)
{
	const std::u16string& Units = Text.GetStdString();
	OutUtf8.clear();
	OutUtf8.reserve(Units.size());
	bool bInString = false;
	bool bEscaped = false;
	for (size_t Index = 0; Index < Units.size(); ++Index)
	{
		uint32 Unit = Units[Index];
		if (bEscaped)
		{
			bEscaped = false;
		}
		else if (bInString)
		{
			bEscaped = Unit == u'\\';
			bInString = Unit != u'"';
		}
		else if (Unit == u'"')
		{
			bInString = true;
		}
		else if (Unit >= u'A' && Unit <= u'Z')
		{
			Unit += u'a' - u'A';
		}

		if (IsHighSurrogate(Unit) && Index + 1 < Units.size() && IsLowSurrogate(Units[Index + 1]))
		{
			Unit = 0x10000 + ((Unit - 0xD800) << 10) + (uint32(Units[++Index]) - 0xDC00);
		}
		else if (IsHighSurrogate(Unit) || IsLowSurrogate(Unit))
		{
			return false;
		}
		AppendUtf8(Unit, OutUtf8);
	}
	return true;
}

FString ConvertToString(std::string_view Utf8)
{
	std::u16string Text;
	Text.reserve(Utf8.size());
	size_t Index = 0;
	while (Index < Utf8.size())
	{
		const uint8 Lead = uint8(Utf8[Index]);
		const size_t Length = Lead < 0x80 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : 4;
		if (Index + Length > Utf8.size())
		{
			break;
		}
		uint32 CodePoint = Length == 1 ? Lead : Lead & (0x7F >> Length);
		for (size_t Next = 1; Next < Length; ++Next)
		{
			CodePoint = (CodePoint << 6) | (uint8(Utf8[Index + Next]) & 0x3F);
		}
		Index += Length;
		if (CodePoint < 0x10000)
		{
			Text += char16_t(CodePoint);
		}
		else
		{
			Text += char16_t(0xD800 + ((CodePoint - 0x10000) >> 10));
			Text += char16_t(0xDC00 + ((CodePoint - 0x10000) & 0x3FF));
		}
	}
	return FString(MoveTemp(Text));
}
} // namespace UE::Json::Private
