#include "Containers/StringConv.h"
#include "Containers/UnrealString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
constexpr char16_t Replacement = 0xFFFD;

std::string ToUtf8(const std::u16string& Text)
{
	const FTCHARToUTF8 Converted(Text.data(), int32(Text.size()));
	return std::string(Converted.Get(), size_t(Converted.Length()));
}

std::u16string ToUtf16(const std::string& Bytes)
{
	const FUTF8ToTCHAR Converted(Bytes.data(), int32(Bytes.size()));
	return std::u16string(Converted.Get(), size_t(Converted.Length()));
}

// How many U+FFFD a malformed sequence yields is a policy, not a contract: runs of them count as one.
std::u16string CollapseReplacements(const std::u16string& Text)
{
	std::u16string Result;
	for (const char16_t Unit : Text)
	{
		if (Unit != Replacement || Result.empty() || Result.back() != Replacement)
		{
			Result.push_back(Unit);
		}
	}
	return Result;
}
} // namespace

TEST(StringConv, Utf16ToUtf8EncodesPairsAndReplacesLoneSurrogates)
{
	const struct
	{
		std::u16string Source;
		std::string Expected;
	} Rows[] = {
	    {u"Camera_1", "Camera_1"},
	    {u"\u00e9", "\xC3\xA9"},
	    {u"\u20ac", "\xE2\x82\xAC"},
	    {u"\uFFFF", "\xEF\xBF\xBF"},
	    {u"\U0001F600", "\xF0\x9F\x98\x80"},
	    {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
	    {std::u16string{u'a', char16_t(0xD83D), u'b'}, "a\xEF\xBF\xBD"
	                                                   "b"},
	    {std::u16string{u'a', char16_t(0xDE00), u'b'}, "a\xEF\xBF\xBD"
	                                                   "b"},
	    {std::u16string{u'a', char16_t(0xD83D)}, "a\xEF\xBF\xBD"},
	    // A low surrogate before its high one is two lone surrogates, not a pair.
	    {std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
	    // A high surrogate followed by a whole pair: only the first is alone.
	    {std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(ToUtf8(Row.Source), Row.Expected) << testing::PrintToString(Row.Source);
	}
}

TEST(StringConv, Utf8ToUtf16DecodesPairsAndReplacesMalformedSequences)
{
	const struct
	{
		std::string Source;
		std::u16string Expected;
	} Rows[] = {
	    {"Camera_1", u"Camera_1"},
	    {"\xC3\xA9t\xC3\xA9", u"\u00e9t\u00e9"},
	    {"\xF0\x9F\x98\x80", u"\U0001F600"},
	    {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
	    // Truncated sequences, at the end and before an ASCII character that must survive.
	    {"a\xC3", u"a\uFFFD"},
	    {"a\xE2\x82", u"a\uFFFD"},
	    {"\xC3(b", u"\uFFFD(b"},
	    {"\xF0\x9F\x98z", u"\uFFFDz"},
	    // Stray continuation bytes and bytes that never start a sequence.
	    {"a\x80"
	     "b",
	     u"a\uFFFDb"},
	    {"a\xFF"
	     "b",
	     u"a\uFFFDb"},
	    {"a\xF8\x88\x80\x80\x80"
	     "b",
	     u"a\uFFFDb"},
	    // Overlong forms, an encoded surrogate and a code point above U+10FFFF.
	    {"a\xC0\x80"
	     "b",
	     u"a\uFFFDb"},
	    {"a\xE0\x80\xAF"
	     "b",
	     u"a\uFFFDb"},
	    {"a\xED\xA0\x80"
	     "b",
	     u"a\uFFFDb"},
	    {"a\xF4\x90\x80\x80"
	     "b",
	     u"a\uFFFDb"},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(CollapseReplacements(ToUtf16(Row.Source)), Row.Expected) << testing::PrintToString(Row.Source);
	}
}

TEST(StringConv, BoundaryCodePointsRoundTrip)
{
	const char32_t CodePoints[] = {0x1, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFD, 0xFFFF, 0x10000, 0x10FFFF};
	for (const char32_t CodePoint : CodePoints)
	{
		std::u16string Text;
		if (CodePoint < 0x10000)
		{
			Text.push_back(char16_t(CodePoint));
		}
		else
		{
			Text.push_back(char16_t(0xD800 + ((CodePoint - 0x10000) >> 10)));
			Text.push_back(char16_t(0xDC00 + ((CodePoint - 0x10000) & 0x3FF)));
		}
		EXPECT_EQ(ToUtf16(ToUtf8(Text)), Text) << "U+" << std::hex << uint32(CodePoint);
	}
}

TEST(StringConv, ExplicitLengthsStopInsideTheText)
{
	// A length that ends between the halves of a pair must not read the second half.
	const TCHAR Pair[] = {u'x', char16_t(0xD83D), char16_t(0xDE00), 0};
	EXPECT_EQ(std::string(FTCHARToUTF8(Pair, 2).Get()), "x\xEF\xBF\xBD");
	EXPECT_EQ(std::string(FTCHARToUTF8(Pair, 0).Get()), "");

	// A length that ends inside a multi-byte sequence must not read past it.
	EXPECT_EQ(CollapseReplacements(FUTF8ToTCHAR("x\xE2\x82\xAC", 3).Get()), u"x\uFFFD");
	// Zero bytes inside an explicit length are text, not terminators.
	EXPECT_EQ(FUTF8ToTCHAR("a\0b", 3).Length(), 3);
	EXPECT_EQ(FTCHARToUTF8(u"a\0b", 3).Length(), 3);

	EXPECT_EQ(FTCHARToUTF8(nullptr).Length(), 0);
	EXPECT_EQ(FUTF8ToTCHAR(nullptr).Length(), 0);
	EXPECT_EQ(FANSIToTCHAR(nullptr).Length(), 0);
}

TEST(StringConv, EightBitTextKeepsAsciiAndMakesEveryOtherByteAQuestionMark)
{
	// As the engine converts: neither Latin-1 nor UTF-8, so a sender's "Caf\xC3\xA9" must not come this way.
	EXPECT_EQ(std::u16string(FANSIToTCHAR("Cam\xE9ra\x7F").Get()), u"Cam?ra\u007F");
	EXPECT_EQ(FString("Caf\xC3\xA9").GetStdString(), u"Caf??");
	EXPECT_EQ(FString().AppendChars("Sc\xC3\xA8ne", 6).GetStdString(), u"Sc??ne");
	EXPECT_EQ(FString(static_cast<const ANSICHAR*>(nullptr)).Len(), 0);
}
