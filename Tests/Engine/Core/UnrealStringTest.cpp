#include "Containers/UnrealString.h"
#include "Containers/StringConv.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

// FString's own == ignores case, so expectations compare the exact code units instead.

TEST(UnrealString, EqualityAndHashIgnoreAsciiCaseOnly)
{
	const struct
	{
		const TCHAR* Lhs;
		const TCHAR* Rhs;
		bool bEqual;
	} Rows[] = {
	    {TEXT("Location"), TEXT("location"), true},
	    {TEXT("OVDCamera"), TEXT("ovdcamera"), true},
	    {TEXT("a_1-Z"), TEXT("A_1-z"), true},
	    {TEXT(""), TEXT(""), true},
	    {TEXT("abc"), TEXT("abcd"), false},
	    {TEXT("abc"), TEXT("abd"), false},
	    // Letter case is folded for ASCII only, as the engine's is.
	    {TEXT("\u00e9t\u00e9"), TEXT("\u00c9T\u00c9"), false},
	    // '@' and '`' sit next to the letters; a fold that is off by one would match them.
	    {TEXT("@"), TEXT("`"), false},
	};
	for (const auto& Row : Rows)
	{
		const FString Lhs(Row.Lhs);
		const FString Rhs(Row.Rhs);
		EXPECT_EQ(Lhs == Rhs, Row.bEqual) << "\"" << TCHAR_TO_UTF8(Row.Lhs) << "\"";
		EXPECT_EQ(Lhs == Row.Rhs, Row.bEqual);
		EXPECT_EQ(Lhs != Rhs, !Row.bEqual);
		EXPECT_EQ(Lhs.Equals(Rhs, ESearchCase::IgnoreCase), Row.bEqual);
		if (Row.bEqual)
		{
			// Hashed containers keyed by FString (JSON fields) rely on equal strings hashing alike.
			EXPECT_EQ(GetTypeHash(Lhs), GetTypeHash(Rhs));
		}
	}
}

TEST(UnrealString, EqualsAndCompareHonourCaseSensitive)
{
	const FString Mixed(TEXT("Camera"));
	EXPECT_FALSE(Mixed.Equals(FString(TEXT("camera"))));
	EXPECT_FALSE(Mixed.Equals(FString(TEXT("camera")), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Mixed.Equals(FString(TEXT("Camera")), ESearchCase::CaseSensitive));
	EXPECT_FALSE(Mixed.Equals(FString(TEXT("Camera2")), ESearchCase::CaseSensitive));

	EXPECT_LT(FString(TEXT("B")).Compare(FString(TEXT("a"))), 0);
	EXPECT_GT(FString(TEXT("B")).Compare(FString(TEXT("a")), ESearchCase::IgnoreCase), 0);
	EXPECT_EQ(FString(TEXT("abc")).Compare(FString(TEXT("ABC")), ESearchCase::IgnoreCase), 0);
	EXPECT_LT(FString(TEXT("ab")).Compare(FString(TEXT("abc"))), 0);
	EXPECT_TRUE(FString(TEXT("apple")) < FString(TEXT("Banana")));
}

TEST(UnrealString, SearchesIgnoreCaseByDefault)
{
	const FString Text(TEXT("Take_Slate_take"));
	EXPECT_TRUE(Text.StartsWith(FString(TEXT("TAKE"))));
	EXPECT_FALSE(Text.StartsWith(FString(TEXT("TAKE")), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Text.EndsWith(FString(TEXT("_TAKE"))));
	EXPECT_FALSE(Text.EndsWith(FString(TEXT("x_Take_Slate_take"))));
	EXPECT_EQ(Text.Find(FString(TEXT("take"))), 0);
	EXPECT_EQ(Text.Find(FString(TEXT("take")), ESearchCase::IgnoreCase, 1), 11);
	EXPECT_EQ(Text.Find(FString(TEXT("Take")), ESearchCase::CaseSensitive, 1), INDEX_NONE);
	EXPECT_EQ(Text.Find(FString(TEXT("slate")), ESearchCase::IgnoreCase, 100), INDEX_NONE);
}

TEST(UnrealString, AppendIntWritesEveryInt32)
{
	const struct
	{
		int32 Number;
		const TCHAR* Expected;
	} Rows[] = {
	    {0, TEXT("n=0")},
	    {7, TEXT("n=7")},
	    {-7, TEXT("n=-7")},
	    {1000000, TEXT("n=1000000")},
	    {INT32_MAX, TEXT("n=2147483647")},
	    // Negating the most negative value in 32 bits overflows; its digits must survive.
	    {INT32_MIN, TEXT("n=-2147483648")},
	};
	for (const auto& Row : Rows)
	{
		FString Text(TEXT("n="));
		Text.AppendInt(Row.Number);
		EXPECT_EQ(Text.GetStdString(), Row.Expected);
	}
	EXPECT_EQ(FString::FromInt(INT32_MIN).GetStdString(), TEXT("-2147483648"));
}

TEST(UnrealString, PrintfFormatsEachArgumentByItsType)
{
	const struct
	{
		FString Actual;
		const TCHAR* Expected;
	} Rows[] = {
	    {FString::Printf(TEXT("%d"), int32(-42)), TEXT("-42")},
	    {FString::Printf(TEXT("%d"), int32(INT32_MIN)), TEXT("-2147483648")},
	    {FString::Printf(TEXT("%i"), int64(INT64_MIN)), TEXT("-9223372036854775808")},
	    {FString::Printf(TEXT("%lld"), int64(1) << 40), TEXT("1099511627776")},
	    {FString::Printf(TEXT("%d"), uint16(65535)), TEXT("65535")},
	    {FString::Printf(TEXT("%u"), uint16(65535)), TEXT("65535")},
	    {FString::Printf(TEXT("%u"), uint32(4000000000u)), TEXT("4000000000")},
	    {FString::Printf(TEXT("%llu"), uint64(UINT64_MAX)), TEXT("18446744073709551615")},
	    {FString::Printf(TEXT("%x"), int32(255)), TEXT("ff")},
	    {FString::Printf(TEXT("%X"), uint16(0xBEEF)), TEXT("BEEF")},
	    // A negative int32 read as unsigned is its 32-bit pattern, as the C library gives for an int.
	    {FString::Printf(TEXT("%x"), int32(-1)), TEXT("ffffffff")},
	    {FString::Printf(TEXT("%u"), int32(-1)), TEXT("4294967295")},
	    {FString::Printf(TEXT("%x"), int64(-1)), TEXT("ffffffffffffffff")},
	    {FString::Printf(TEXT("%08x"), int32(0x1234)), TEXT("00001234")},
	    {FString::Printf(TEXT("%f"), 1.5), TEXT("1.500000")},
	    {FString::Printf(TEXT("%.2f"), 3.14159), TEXT("3.14")},
	    {FString::Printf(TEXT("%f"), 0.25f), TEXT("0.250000")},
	    {FString::Printf(TEXT("%8.3f|"), -2.5), TEXT("  -2.500|")},
	    {FString::Printf(TEXT("%5d|%-5d|%05d"), 42, 42, 42), TEXT("   42|42   |00042")},
	    {FString::Printf(TEXT("100%%")), TEXT("100%")},
	    {FString::Printf(TEXT("%d%%"), 5), TEXT("5%")},
	    {FString::Printf(TEXT("[%s]"), TEXT("wide")), TEXT("[wide]")},
	    {FString::Printf(TEXT("[%s]"), "narrow"), TEXT("[narrow]")},
	    {FString::Printf(TEXT("[%5s][%-5s][%.2s]"), TEXT("ab"), TEXT("ab"), TEXT("abcdef")), TEXT("[   ab][ab   ][ab]")},
	    {FString::Printf(TEXT("%s=%d (%.1f%%)"), TEXT("Focus"), 3, 99.5), TEXT("Focus=3 (99.5%)")},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(Row.Actual.GetStdString(), Row.Expected);
	}
}

TEST(UnrealString, PrintfKeepsNonAsciiTextWhole)
{
	// Latin-1, a CJK character and an emoji outside the Basic Multilingual Plane (a surrogate pair).
	const TCHAR* const Text = TEXT("Gr\u00fc\u00dfe \u65e5 \U0001F600!");
	EXPECT_EQ(FString::Printf(TEXT("<%s>"), Text).GetStdString(), TEXT("<Gr\u00fc\u00dfe \u65e5 \U0001F600!>"));

	// Width and precision count characters, not the bytes of some intermediate encoding.
	EXPECT_EQ(FString::Printf(TEXT("[%3s]"), TEXT("\u00e9")).GetStdString(), TEXT("[  \u00e9]"));
	EXPECT_EQ(FString::Printf(TEXT("[%-3s]"), TEXT("\u65e5")).GetStdString(), TEXT("[\u65e5  ]"));
	EXPECT_EQ(FString::Printf(TEXT("[%.1s]"), TEXT("\u00e9a")).GetStdString(), TEXT("[\u00e9]"));
	EXPECT_EQ(FString::Printf(TEXT("[%.1s]"), TEXT("\U0001F600")).GetStdString(), TEXT("[]"));
	EXPECT_EQ(FString::Printf(TEXT("[%4s]"), "ab").GetStdString(), TEXT("[  ab]"));
}

TEST(UnrealString, SubstringsClampToTheText)
{
	const FString Text(TEXT("abcdef"));
	const struct
	{
		FString Actual;
		const TCHAR* Expected;
	} Rows[] = {
	    {Text.Mid(2, 3), TEXT("cde")},
	    {Text.Mid(2), TEXT("cdef")},
	    {Text.Mid(4, 100), TEXT("ef")},
	    {Text.Mid(6, 1), TEXT("")},
	    {Text.Mid(10, 2), TEXT("")},
	    {Text.Mid(2, -1), TEXT("")},
	    // A negative start shortens the count by as much, as the engine's Mid does.
	    {Text.Mid(-2, 4), TEXT("ab")},
	    {Text.Mid(-10, 4), TEXT("")},
	    // Start + Count beyond the int32 range must not wrap around.
	    {Text.Mid(1, INT32_MAX), TEXT("bcdef")},
	    {Text.Left(3), TEXT("abc")},
	    {Text.Left(10), TEXT("abcdef")},
	    {Text.Left(-1), TEXT("")},
	    {Text.Right(2), TEXT("ef")},
	    {Text.Right(10), TEXT("abcdef")},
	    {Text.Right(-3), TEXT("")},
	    {FString().Mid(0, 5), TEXT("")},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(Row.Actual.GetStdString(), Row.Expected);
	}
}

TEST(UnrealString, IsNumericAcceptsSignDigitsAndOneDot)
{
	const struct
	{
		const TCHAR* Text;
		bool bNumeric;
	} Rows[] = {
	    {TEXT("0"), true},
	    {TEXT("-12"), true},
	    {TEXT("+3.5"), true},
	    {TEXT(".5"), true},
	    {TEXT("5."), true},
	    {TEXT("007"), true},
	    {TEXT(""), false},
	    {TEXT("-"), false},
	    {TEXT("."), false},
	    {TEXT("-."), false},
	    {TEXT("1.2.3"), false},
	    {TEXT("1e3"), false},
	    {TEXT(" 1"), false},
	    {TEXT("1 "), false},
	    {TEXT("--1"), false},
	    {TEXT("1-"), false},
	    {TEXT("0x10"), false},
	    {TEXT("1,5"), false},
	    // A digit of another script is not a decimal digit here.
	    {TEXT("\u0661"), false},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(FString(Row.Text).IsNumeric(), Row.bNumeric) << "row \"" << TCHAR_TO_UTF8(Row.Text) << "\"";
	}
}

TEST(UnrealString, ParseIntoArraySplitsAtEachDelimiter)
{
	const struct
	{
		FString Text;
		const TCHAR* Delim;
		bool bCullEmpty;
		std::vector<std::u16string> Expected;
	} Rows[] = {
	    {TEXT("1..2:"), TEXT("."), false, {u"1", u"", u"2:"}},
	    {TEXT("1..2:"), TEXT("."), true, {u"1", u"2:"}},
	    {TEXT(".a."), TEXT("."), false, {u"", u"a", u""}},
	    {TEXT(".a."), TEXT("."), true, {u"a"}},
	    {TEXT("a::b:"), TEXT("::"), false, {u"a", u"b:"}},
	    {TEXT("aXb"), TEXT("x"), false, {u"aXb"}},
	    {TEXT(""), TEXT("."), false, {}},
	    {TEXT("a.b"), TEXT(""), false, {}},
	    // The text ends at its first terminator, as the engine's does.
	    {FString(5, u"a.b\0.c"), TEXT("."), false, {u"a", u"b"}},
	};
	for (const auto& Row : Rows)
	{
		TArray<FString> Pieces;
		Pieces.Add(TEXT("left over"));
		EXPECT_EQ(Row.Text.ParseIntoArray(Pieces, Row.Delim, Row.bCullEmpty), int32(Row.Expected.size())) << TCHAR_TO_UTF8(*Row.Text);
		std::vector<std::u16string> Actual;
		for (const FString& Piece : Pieces)
		{
			Actual.push_back(Piece.GetStdString());
		}
		EXPECT_EQ(Actual, Row.Expected) << TCHAR_TO_UTF8(*Row.Text) << " split on " << TCHAR_TO_UTF8(Row.Delim);
	}
}
