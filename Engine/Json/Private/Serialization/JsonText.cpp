#include "Serialization/JsonText.h"

#include "Containers/StringConv.h"

namespace UE::Json::Private
{
namespace
{
bool IsHighSurrogate(TCHAR Unit) { return Unit >= 0xD800 && Unit < 0xDC00; }
bool IsLowSurrogate(TCHAR Unit) { return Unit >= 0xDC00 && Unit < 0xE000; }
} // namespace

bool ConvertToParserText(const FString& Text, std::string& OutUtf8)
{
	// The conversion to UTF-8 would make an unpaired surrogate U+FFFD; the reader refuses such text instead.
	std::u16string Folded = Text.GetStdString();
	bool bInString = false;
	bool bEscaped = false;
	for (size_t Index = 0; Index < Folded.size(); ++Index)
	{
		char16_t& Unit = Folded[Index];
		if (IsHighSurrogate(Unit) && Index + 1 < Folded.size() && IsLowSurrogate(Folded[Index + 1]))
		{
			++Index;
			continue;
		}
		if (IsHighSurrogate(Unit) || IsLowSurrogate(Unit))
		{
			return false;
		}
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
	}
	const FTCHARToUTF8 Utf8(Folded.data(), int32(Folded.size()));
	OutUtf8.assign(Utf8.Get(), size_t(Utf8.Length()));
	return true;
}

FString ConvertToString(std::string_view Utf8)
{
	// By length, not up to a terminator: a string may hold "\u0000".
	const FUTF8ToTCHAR Text(Utf8.data(), int32(Utf8.size()));
	return FString(Text.Length(), Text.Get());
}
} // namespace UE::Json::Private
