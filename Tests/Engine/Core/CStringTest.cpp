#include "Misc/CString.h"

#include "Containers/StringConv.h"

#include <gtest/gtest.h>

TEST(CString, AtoiReadsLikeTheWindowsRuntime)
{
	const struct
	{
		const TCHAR* Text;
		int32 Expected;
	} Rows[] = {
	    {TEXT(""), 0},
	    {TEXT("0"), 0},
	    {TEXT("12"), 12},
	    {TEXT("12b"), 12},
	    {TEXT("b12"), 0},
	    {TEXT(" 7"), 7},
	    {TEXT("\t-3x"), -3},
	    {TEXT("\r\n\v\f 42"), 42},
	    {TEXT("+5"), 5},
	    {TEXT("-0"), 0},
	    {TEXT("+"), 0},
	    {TEXT("-"), 0},
	    {TEXT("- 5"), 0},
	    {TEXT("+-5"), 0},
	    {TEXT("007"), 7},
	    {TEXT("1 2"), 1},
	    {TEXT("3.9"), 3},
	    {TEXT("2147483647"), 2147483647},
	    {TEXT("2147483648"), 2147483647},
	    {TEXT("-2147483648"), -2147483647 - 1},
	    {TEXT("-2147483649"), -2147483647 - 1},
	    {TEXT("99999999999"), 2147483647},
	    {TEXT("-99999999999"), -2147483647 - 1},
	    // Far more digits than any accumulator holds: saturation, not wrap-around.
	    {TEXT("123456789012345678901234567890"), 2147483647},
	    {TEXT("-123456789012345678901234567890"), -2147483647 - 1},
	    // A full-width digit is not a decimal digit here.
	    {TEXT("\uff11"), 0},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(FCString::Atoi(Row.Text), Row.Expected) << "\"" << TCHAR_TO_UTF8(Row.Text) << "\"";
	}
}

// The engine reads through a null text; reading it as 0 here would hide a caller's fault that crashes there.
TEST(CString, AtoiStopsOnNull) { EXPECT_DEATH(FCString::Atoi(nullptr), "String != nullptr"); }
