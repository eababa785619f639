#include "Dom/JsonValue.h"
#include "Dom/JsonObject.h"
#include "JsonTestSupport.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace
{
TSharedPtr<FJsonValue> Number(double Value) { return MakeShared<FJsonValueNumber>(Value); }

TSharedPtr<FJsonValue> String(const TCHAR* Value) { return MakeShared<FJsonValueString>(FString(Value)); }

std::vector<std::string> JsonErrors(const FLogCapture& Capture)
{
	std::vector<std::string> Lines;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Category == "LogJson" && Line.Verbosity == ELogVerbosity::Error)
		{
			Lines.push_back(Line.Text);
		}
	}
	return Lines;
}

struct FAsNumberRow
{
	const char* Name;
	std::function<TSharedPtr<FJsonValue>()> Make;
	double Expected;
	/** The LogJson error line, or empty when none may be written. */
	std::string Error;
};

std::ostream& operator<<(std::ostream& Stream, const FAsNumberRow& Row) { return Stream << Row.Name; }

class JsonAsNumber : public testing::TestWithParam<FAsNumberRow>
{
};

TEST_P(JsonAsNumber, GivesTheNumberOrZeroWithOneErrorLine)
{
	const FAsNumberRow& Row = GetParam();
	const TSharedPtr<FJsonValue> Value = Row.Make();
	FLogCapture Capture;
	EXPECT_EQ(Value->AsNumber(), Row.Expected);
	EXPECT_EQ(JsonErrors(Capture), Row.Error.empty() ? std::vector<std::string>() : std::vector<std::string>{Row.Error});
}

INSTANTIATE_TEST_SUITE_P(
    Json, JsonAsNumber,
    testing::Values(FAsNumberRow{"Number", [] { return Number(-20.25); }, -20.25, ""},
                    FAsNumberRow{"NumericString", [] { return String(TEXT("12.5")); }, 12.5, ""},
                    FAsNumberRow{"SignedNumericString", [] { return String(TEXT("-.5")); }, -0.5, ""},
                    FAsNumberRow{"LongNumericString", [] { return String(TEXT("+00000000000000000000000000000123.25")); }, 123.25, ""},
                    FAsNumberRow{"TextString", [] { return String(TEXT("abc")); }, 0.0, "Json Value of type 'String' used as a 'Number'."},
                    FAsNumberRow{"ExponentString", [] { return String(TEXT("1e3")); }, 0.0, "Json Value of type 'String' used as a 'Number'."},
                    FAsNumberRow{"PaddedString", [] { return String(TEXT(" 12")); }, 0.0, "Json Value of type 'String' used as a 'Number'."},
                    FAsNumberRow{"True", [] { return MakeShared<FJsonValueBoolean>(true); }, 1.0, ""},
                    FAsNumberRow{"Null", [] { return MakeShared<FJsonValueNull>(); }, 0.0, "Json Value of type 'Null' used as a 'Number'."},
                    FAsNumberRow{"Array", [] { return JsonTest::ParseValue(TEXT("[5]")); }, 0.0, "Json Value of type 'Array' used as a 'Number'."},
                    FAsNumberRow{"Object", [] { return JsonTest::ParseValue(TEXT("{\"a\":5}")); }, 0.0, "Json Value of type 'Object' used as a 'Number'."}),
    [](const testing::TestParamInfo<FAsNumberRow>& Info) { return std::string(Info.param.Name); });

struct FAsStringRow
{
	const char* Name;
	std::function<TSharedPtr<FJsonValue>()> Make;
	std::u16string Expected;
	std::string Error;
};

std::ostream& operator<<(std::ostream& Stream, const FAsStringRow& Row) { return Stream << Row.Name; }

class JsonAsString : public testing::TestWithParam<FAsStringRow>
{
};

TEST_P(JsonAsString, GivesTheTextOrEmptyWithOneErrorLine)
{
	const FAsStringRow& Row = GetParam();
	const TSharedPtr<FJsonValue> Value = Row.Make();
	FLogCapture Capture;
	EXPECT_EQ(Value->AsString().GetStdString(), Row.Expected);
	EXPECT_EQ(JsonErrors(Capture), Row.Error.empty() ? std::vector<std::string>() : std::vector<std::string>{Row.Error});
}

// Numbers read as the shortest text that reads back as the same double.
INSTANTIATE_TEST_SUITE_P(
    Json, JsonAsString,
    testing::Values(FAsStringRow{"WholeNumber", [] { return Number(3.0); }, u"3", ""}, FAsStringRow{"Fraction", [] { return Number(12.5); }, u"12.5", ""},
                    FAsStringRow{"NotExactInBinary", [] { return Number(0.1); }, u"0.1", ""},
                    FAsStringRow{"AllDigitsNeeded", [] { return Number(0.70710677); }, u"0.70710677", ""},
                    FAsStringRow{"NegativeZero", [] { return Number(-0.0); }, u"-0", ""}, FAsStringRow{"Large", [] { return Number(1e21); }, u"1e+21", ""},
                    FAsStringRow{"True", [] { return MakeShared<FJsonValueBoolean>(true); }, u"true", ""},
                    FAsStringRow{"False", [] { return MakeShared<FJsonValueBoolean>(false); }, u"false", ""},
                    FAsStringRow{"Null", [] { return MakeShared<FJsonValueNull>(); }, u"", "Json Value of type 'Null' used as a 'String'."},
                    FAsStringRow{"Array", [] { return JsonTest::ParseValue(TEXT("[\"a\"]")); }, u"", "Json Value of type 'Array' used as a 'String'."}),
    [](const testing::TestParamInfo<FAsStringRow>& Info) { return std::string(Info.param.Name); });

TEST(JsonValue, ContainerAccessorsOnOtherKindsGiveEmptyResultsAndOneLine)
{
	const TSharedPtr<FJsonValue> Object = JsonTest::ParseValue(TEXT("{\"a\":[1]}"));
	const TSharedPtr<FJsonValue> Array = JsonTest::ParseValue(TEXT("[{\"a\":1}]"));
	ASSERT_TRUE(Object.IsValid() && Array.IsValid());
	FLogCapture Capture;
	EXPECT_EQ(Object->AsArray().Num(), 0);
	EXPECT_FALSE(Array->AsObject().IsValid());
	EXPECT_FALSE(String(TEXT("true"))->AsBool());
	EXPECT_TRUE(Number(-2.0)->AsBool());
	EXPECT_FALSE(Number(0.0)->AsBool());
	EXPECT_EQ(JsonErrors(Capture), (std::vector<std::string>{"Json Value of type 'Object' used as a 'Array'.", "Json Value of type 'Array' used as a 'Object'.",
	                                                         "Json Value of type 'String' used as a 'Boolean'."}));
	EXPECT_EQ(Array->AsArray()[0]->AsObject()->GetNumberField(TEXT("a")), 1.0);
}

struct FIntegerRow
{
	double Number;
	bool bInt32;
	int32 Int32;
	bool bUInt32;
	uint32 UInt32;
	bool bInt64;
	int64 Int64;
};

std::ostream& operator<<(std::ostream& Stream, const FIntegerRow& Row) { return Stream << Row.Number; }

class JsonIntegerNumber : public testing::TestWithParam<FIntegerRow>
{
};

// Out of range leaves the caller's value as it was; in range rounds half away from zero.
TEST_P(JsonIntegerNumber, RangeCheckedAndRoundedHalfAwayFromZero)
{
	const FIntegerRow& Row = GetParam();
	const TSharedPtr<FJsonValue> Value = Number(Row.Number);
	int32 Int32 = 77;
	uint32 UInt32 = 77;
	int64 Int64 = 77;
	EXPECT_EQ(Value->TryGetNumber(Int32), Row.bInt32);
	EXPECT_EQ(Int32, Row.bInt32 ? Row.Int32 : 77);
	EXPECT_EQ(Value->TryGetNumber(UInt32), Row.bUInt32);
	EXPECT_EQ(UInt32, Row.bUInt32 ? Row.UInt32 : 77u);
	EXPECT_EQ(Value->TryGetNumber(Int64), Row.bInt64);
	EXPECT_EQ(Int64, Row.bInt64 ? Row.Int64 : 77);
}

constexpr double Two63 = 9223372036854775808.0;

INSTANTIATE_TEST_SUITE_P(Json, JsonIntegerNumber,
                         testing::Values(FIntegerRow{2.5, true, 3, true, 3, true, 3}, FIntegerRow{-2.5, true, -3, false, 0, true, -3},
                                         FIntegerRow{2.4999, true, 2, true, 2, true, 2}, FIntegerRow{-0.4, true, 0, false, 0, true, 0},
                                         FIntegerRow{2147483647.0, true, 2147483647, true, 2147483647u, true, 2147483647},
                                         FIntegerRow{2147483647.4, false, 0, true, 2147483647u, true, 2147483647},
                                         FIntegerRow{2147483648.0, false, 0, true, 2147483648u, true, 2147483648},
                                         FIntegerRow{-2147483648.0, true, std::numeric_limits<int32>::min(), false, 0, true, -2147483648ll},
                                         FIntegerRow{-2147483648.5, false, 0, false, 0, true, -2147483649ll},
                                         FIntegerRow{4294967295.0, false, 0, true, 4294967295u, true, 4294967295ll},
                                         FIntegerRow{4294967296.0, false, 0, false, 0, true, 4294967296ll},
                                         FIntegerRow{-Two63, false, 0, false, 0, true, std::numeric_limits<int64>::min()},
                                         FIntegerRow{Two63, false, 0, false, 0, false, 0},
                                         FIntegerRow{std::numeric_limits<double>::quiet_NaN(), false, 0, false, 0, false, 0},
                                         FIntegerRow{-std::numeric_limits<double>::infinity(), false, 0, false, 0, false, 0}));

TEST(JsonValue, NumericStringsAndBooleansReadAsIntegersToo)
{
	int32 Out = 0;
	EXPECT_TRUE(String(TEXT("2.5"))->TryGetNumber(Out));
	EXPECT_EQ(Out, 3);
	EXPECT_TRUE(MakeShared<FJsonValueBoolean>(true)->TryGetNumber(Out));
	EXPECT_EQ(Out, 1);
	Out = 5;
	EXPECT_FALSE(String(TEXT("three"))->TryGetNumber(Out));
	EXPECT_FALSE(MakeShared<FJsonValueNull>()->TryGetNumber(Out));
	EXPECT_EQ(Out, 5);
}
} // namespace
