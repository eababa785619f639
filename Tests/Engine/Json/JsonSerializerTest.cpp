#include "Serialization/JsonSerializer.h"
#include "Dom/JsonObject.h"
#include "JsonTestSupport.h"
#include "Serialization/JsonReader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace
{
using JsonTest::ParseObject;
using JsonTest::Widen;

struct FParseRow
{
	const char* Name;
	std::string Text;
	bool bParses;
};

std::ostream& operator<<(std::ostream& Stream, const FParseRow& Row) { return Stream << Row.Name; }

class JsonObjectParse : public testing::TestWithParam<FParseRow>
{
};

TEST_P(JsonObjectParse, AcceptsExactlyOneObjectWithWhitespaceAround)
{
	const FParseRow& Row = GetParam();
	TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(Widen(Row.Text));
	TSharedPtr<FJsonObject> Object;
	EXPECT_EQ(FJsonSerializer::Deserialize(Reader, Object), Row.bParses);
	EXPECT_EQ(Object.IsValid(), Row.bParses);
	EXPECT_EQ(Reader->GetErrorMessage().IsEmpty(), Row.bParses);
}

INSTANTIATE_TEST_SUITE_P(
    Json, JsonObjectParse,
    testing::Values(FParseRow{"EmptyObject", "{}", true}, FParseRow{"WhitespaceAround", " \t\r\n{\"a\":1} \r\n\t", true},
                    FParseRow{"TrailingLineFeed", "{\"a\":1}\n", true}, FParseRow{"EmptyText", "", false}, FParseRow{"WhitespaceOnly", " \r\n\t", false},
                    FParseRow{"TopLevelArray", "[{\"a\":1}]", false}, FParseRow{"TopLevelNumber", "1", false}, FParseRow{"TopLevelString", "\"{}\"", false},
                    FParseRow{"TopLevelNull", "null", false}, FParseRow{"TrailingGarbage", "{\"a\":1}x", false},
                    FParseRow{"TwoObjects", "{\"a\":1}{\"b\":2}", false}, FParseRow{"TwoObjectsSpaced", "{\"a\":1} {\"b\":2}", false},
                    FParseRow{"WidenedByteOrderMark", "\xEF\xBB\xBF{}", false}, FParseRow{"FormFeedIsNotWhitespace", "\f{}", false},
                    FParseRow{"ZeroCharacterAfter", std::string("{}\0", 3), false}, FParseRow{"InvalidEscape", "{\"a\":\"\\x\"}", false},
                    FParseRow{"LoneHighSurrogateEscape", "{\"a\":\"\\ud800\"}", false}, FParseRow{"LoneLowSurrogateEscape", "{\"a\":\"\\udc00\"}", false},
                    FParseRow{"HighSurrogateThenLetter", "{\"a\":\"\\ud800\\u0041\"}", false},
                    FParseRow{"UnescapedControlCharacter", "{\"a\":\"\x01\"}", false}, FParseRow{"IntegerOf65Bits", "{\"a\":18446744073709551616}", false},
                    FParseRow{"BelowInt64", "{\"a\":-9223372036854775809}", false}, FParseRow{"BeyondDouble", "{\"a\":1e400}", false},
                    FParseRow{"LeadingZero", "{\"a\":01}", false}, FParseRow{"TrailingComma", "{\"a\":1,}", false}, FParseRow{"SingleQuotes", "{'a':1}", false},
                    FParseRow{"MissingValue", "{\"a\"}", false}, FParseRow{"Unclosed", "{\"a\":[1,2}", false},
                    // The engine reads literals in any letter case, and only literals.
                    FParseRow{"LiteralsInAnyCase", "{\"a\":TRUE,\"b\":False,\"c\":nULL,\"d\":[tRUE,FALSE,Null]}", true},
                    FParseRow{"MisspeltCapitalLiteral", "{\"a\":TRUEE}", false}, FParseRow{"UnquotedCapitalName", "{A:1}", false},
                    FParseRow{"CapitalLiteralAsName", "{NULL:1}", false}),
    [](const testing::TestParamInfo<FParseRow>& Info) { return std::string(Info.param.Name); });

TEST(JsonSerializer, FailureLeavesOutputAloneAndSuccessClearsTheError)
{
	TSharedPtr<FJsonObject> Object = MakeShared<FJsonObject>();
	FJsonObject* const Before = Object.Get();
	TSharedRef<TJsonReader<TCHAR>> Bad = TJsonReaderFactory<TCHAR>::Create(FString(TEXT("[1]")));
	EXPECT_FALSE(FJsonSerializer::Deserialize(Bad, Object));
	EXPECT_EQ(Object.Get(), Before);
	EXPECT_FALSE(Bad->GetErrorMessage().IsEmpty());

	TArray<TSharedPtr<FJsonValue>> Elements;
	Elements.Add(nullptr);
	EXPECT_FALSE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString(TEXT("{}"))), Elements));
	EXPECT_EQ(Elements.Num(), 1);
	EXPECT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString(TEXT(" [1, \"two\"] "))), Elements));
	ASSERT_EQ(Elements.Num(), 2);
	EXPECT_EQ(Elements[1]->AsString(), TEXT("two"));
}

TEST(JsonSerializer, ValueOverloadTakesAnyTopLevelValue)
{
	ASSERT_TRUE(JsonTest::ParseValue(TEXT(" 42 ")).IsValid());
	EXPECT_EQ(JsonTest::ParseValue(TEXT("42"))->AsNumber(), 42.0);
	EXPECT_EQ(JsonTest::ParseValue(TEXT("\"text\""))->AsString(), TEXT("text"));
	EXPECT_EQ(JsonTest::ParseValue(TEXT("null"))->Type, EJson::Null);
	EXPECT_EQ(JsonTest::ParseValue(TEXT("true"))->Type, EJson::Boolean);
	EXPECT_EQ(JsonTest::ParseValue(TEXT("[[]]"))->AsArray().Num(), 1);
	EXPECT_FALSE(JsonTest::ParseValue(TEXT("")).IsValid());
}

// Text that is already UTF-16 (not widened bytes) can hold what has no UTF-8 form.
TEST(JsonSerializer, RefusesTextWithAnUnpairedSurrogate)
{
	const char16_t Lone[] = {u'{', u'"', u'a', u'"', u':', u'"', char16_t(0xD800), u'"', u'}', 0};
	const char16_t Reversed[] = {u'{', u'"', u'a', u'"', u':', u'"', char16_t(0xDE00), char16_t(0xD83D), u'"', u'}', 0};
	const char16_t Paired[] = {u'{', u'"', u'a', u'"', u':', u'"', char16_t(0xD83D), char16_t(0xDE00), u'"', u'}', 0};
	const char16_t Bom[] = {char16_t(0xFEFF), u'{', u'}', 0};
	TSharedPtr<FJsonValue> Value;
	EXPECT_FALSE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString(Lone)), Value));
	EXPECT_FALSE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString(Reversed)), Value));
	EXPECT_FALSE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString(Bom)), Value));
	ASSERT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString(Paired)), Value));
	EXPECT_EQ(Value->AsObject()->GetStringField(TEXT("a")).GetStdString(), std::u16string({char16_t(0xD83D), char16_t(0xDE00)}));
}

struct FTextRow
{
	const char* Name;
	FString JsonString;
	std::u16string Expected;
};

std::ostream& operator<<(std::ostream& Stream, const FTextRow& Row) { return Stream << Row.Name; }

class JsonStringText : public testing::TestWithParam<FTextRow>
{
};

// Strings and names must come back as exactly the characters that were sent: a byte-wide character stays one
// character, an escape becomes the character it names.
TEST_P(JsonStringText, ReadsBackCharacterForCharacter)
{
	const FTextRow& Row = GetParam();
	const FString Text = FString(TEXT("{")) + Row.JsonString + TEXT(":") + Row.JsonString + TEXT("}");
	TSharedPtr<FJsonObject> Object;
	ASSERT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Object));
	ASSERT_EQ(Object->Values.Num(), 1);
	for (const auto& Field : Object->Values)
	{
		EXPECT_EQ(Field.Key.GetStdString(), Row.Expected);
		EXPECT_EQ(Field.Value->AsString().GetStdString(), Row.Expected);
	}
}

INSTANTIATE_TEST_SUITE_P(Json, JsonStringText,
                         testing::Values(FTextRow{"Utf8BytesStayBytes", Widen("\"Sc\xC3\xA9ne\""), u"Sc\u00C3\u00A9ne"},
                                         FTextRow{"Latin1Byte", Widen("\"\xE9t\xE9\""), u"\u00E9t\u00E9"},
                                         FTextRow{"EscapedLatin1", Widen("\"\\u00e9\""), u"\u00E9"}, FTextRow{"EscapedBmp", Widen("\"\\u20AC\""), u"\u20AC"},
                                         FTextRow{"EscapedPair", Widen("\"\\ud83d\\ude00\""), u"\U0001F600"},
                                         FTextRow{"EscapedZero", Widen("\"a\\u0000b\""), std::u16string(u"a\0b", 3)},
                                         FTextRow{"ShortEscapes", Widen("\"\\\"\\\\\\/\\b\\f\\n\\r\\t\""), u"\"\\/\b\f\n\r\t"},
                                         FTextRow{"Empty", Widen("\"\""), u""}, FTextRow{"Utf16Text", FString(u"\"\u20AC\U0001F600\""), u"\u20AC\U0001F600"},
                                         // Capitals are lowered only outside strings: an escaped quote does not end one, an escaped
                                         // backslash before a quote does not keep one open.
                                         FTextRow{"CapitalsAroundEscapes", Widen("\"TRUE\\\"NULL\\\\\""), u"TRUE\"NULL\\"}),
                         [](const testing::TestParamInfo<FTextRow>& Info) { return std::string(Info.param.Name); });

struct FNumberRow
{
	const char* Name;
	const char* Text;
	double Expected;
};

std::ostream& operator<<(std::ostream& Stream, const FNumberRow& Row) { return Stream << Row.Name; }

class JsonNumberText : public testing::TestWithParam<FNumberRow>
{
};

TEST_P(JsonNumberText, BecomesTheNearestDouble)
{
	const TSharedPtr<FJsonValue> Value = JsonTest::ParseValue(Widen(GetParam().Text));
	ASSERT_TRUE(Value.IsValid());
	EXPECT_EQ(Value->Type, EJson::Number);
	const double Number = Value->AsNumber();
	EXPECT_EQ(Number, GetParam().Expected);
	EXPECT_EQ(std::signbit(Number), std::signbit(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Json, JsonNumberText,
                         testing::Values(FNumberRow{"Zero", "0", 0.0}, FNumberRow{"NegativeZero", "-0.0", -0.0}, FNumberRow{"Fraction", "-20.25", -20.25},
                                         FNumberRow{"Exponent", "1E2", 100.0}, FNumberRow{"Beyond53Bits", "9007199254740993", 9007199254740992.0},
                                         FNumberRow{"Int64Min", "-9223372036854775808", -9223372036854775808.0},
                                         FNumberRow{"Uint64Max", "18446744073709551615", 18446744073709551616.0}, FNumberRow{"Underflow", "1e-400", 0.0}),
                         [](const testing::TestParamInfo<FNumberRow>& Info) { return std::string(Info.param.Name); });

TEST(JsonSerializer, FieldsKeepDocumentOrderAndAnswerToAnyLetterCase)
{
	const TSharedPtr<FJsonObject> Object = ParseObject(R"({"Zulu":1,"alpha":2,"Mike":3,"ovdcamera":4})");
	ASSERT_TRUE(Object.IsValid());
	std::vector<std::u16string> Keys;
	for (const auto& Field : Object->Values)
	{
		Keys.push_back(Field.Key.GetStdString());
	}
	EXPECT_EQ(Keys, (std::vector<std::u16string>{u"Zulu", u"alpha", u"Mike", u"ovdcamera"}));
	double Number = 0;
	EXPECT_TRUE(Object->TryGetNumberField(TEXT("OVDCamera"), Number));
	EXPECT_EQ(Number, 4.0);
	EXPECT_TRUE(Object->TryGetNumberField(TEXT("ZULU"), Number));
	EXPECT_EQ(Number, 1.0);
}

TEST(JsonSerializer, RepeatedNameKeepsItsFirstPlaceAndLastValue)
{
	const TSharedPtr<FJsonObject> Object = ParseObject(R"({"k0":0,"k1":1,"k2":2,"K1":"again","k0":[true]})");
	ASSERT_TRUE(Object.IsValid());
	EXPECT_EQ(JsonTest::KeysOf(Object->Values), (std::vector<std::u16string>{u"k0", u"k1", u"k2"}));
	EXPECT_EQ(Object->GetStringField(TEXT("k1")), TEXT("again"));
	EXPECT_EQ(Object->GetArrayField(TEXT("k0")).Num(), 1);
	EXPECT_EQ(Object->GetNumberField(TEXT("K2")), 2.0);
}

class JsonNesting : public testing::TestWithParam<FParseRow>
{
};

TEST_P(JsonNesting, ParsesAtAnyDepth) { EXPECT_EQ(JsonTest::ParseValue(Widen(GetParam().Text)).IsValid(), GetParam().bParses); }

// As the engine, no depth limit: deeper than simdjson's own default of 1024 too. simdjson counts an empty innermost
// container one level shallower than one that holds a value.
INSTANTIATE_TEST_SUITE_P(Json, JsonNesting,
                         testing::Values(FParseRow{"ArraysEmptyInside", JsonTest::Nested(2000, "[", "", "]"), true},
                                         FParseRow{"ArraysValueInside", JsonTest::Nested(2000, "[", "1", "]"), true},
                                         FParseRow{"ObjectsEmptyInside", JsonTest::Nested(2000, "{\"a\":", "{}", "}"), true},
                                         FParseRow{"ObjectsAndArrays", JsonTest::Nested(1000, "{\"a\":[", "[7]", "]}"), true},
                                         FParseRow{"OneCloserShort", JsonTest::Nested(2000, "[", "", "]").substr(1), false}),
                         [](const testing::TestParamInfo<FParseRow>& Info) { return std::string(Info.param.Name); });

TEST(JsonSerializer, ValuesOutliveTheirRootTheReaderAndLaterParses)
{
	TSharedPtr<FJsonValue> Metadata;
	TWeakPtr<FJsonValue> Weak;
	{
		const TSharedPtr<FJsonObject> Object = ParseObject(R"({"OVDCamera":[{"Metadata":["Scene 4 with a long name",2.5]}]})");
		ASSERT_TRUE(Object.IsValid());
		const TArray<TSharedPtr<FJsonValue>>* Camera = nullptr;
		ASSERT_TRUE(Object->TryGetArrayField(TEXT("OVDCamera"), Camera));
		Metadata = (*Camera)[0]->AsObject()->TryGetField(TEXT("Metadata"));
		Weak = (*Camera)[0];
	}
	// Nothing of the tree may point into the parser's memory, which a later parse may be given again.
	ASSERT_TRUE(ParseObject(R"({"Metadata":["overwritten overwritten overwritten",9]})").IsValid());
	ASSERT_TRUE(Metadata.IsValid());
	EXPECT_EQ(Metadata->AsArray()[0]->AsString(), TEXT("Scene 4 with a long name"));
	EXPECT_EQ(Metadata->AsArray()[1]->AsNumber(), 2.5);
	EXPECT_FALSE(Weak.IsValid());
	Metadata.Reset();
	EXPECT_FALSE(Weak.Pin().IsValid());
}

TEST(JsonSerializer, ThreadsParseAtTheSameTimeWithoutSharingState)
{
	std::atomic<int32> Mismatches{0};
	std::vector<std::thread> Threads;
	for (int32 ThreadIndex = 0; ThreadIndex < 4; ++ThreadIndex)
	{
		Threads.emplace_back(
		    [ThreadIndex, &Mismatches]
		    {
			    for (int32 Round = 0; Round < 500; ++Round)
			    {
				    const int32 Expected = ThreadIndex * 100000 + Round;
				    // Lengths differ per thread and round, so that a shared buffer would mix texts.
				    const std::string Padding(size_t((ThreadIndex * 37 + Round) % 200), ' ');
				    const TSharedPtr<FJsonObject> Object =
				        ParseObject("{\"n\":" + std::to_string(Expected) + Padding + ",\"s\":\"t" + std::to_string(Expected) + "\"}");
				    int32 Number = -1;
				    if (!Object.IsValid() || !Object->TryGetNumberField(TEXT("n"), Number) || Number != Expected ||
				        Object->GetStringField(TEXT("s")) != FString(TEXT("t")) + FString::FromInt(Expected))
				    {
					    ++Mismatches;
				    }
			    }
		    });
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	EXPECT_EQ(Mismatches.load(), 0);
}

TEST(JsonSerializer, LargeDocumentsParseWhole)
{
	std::string Text = "[";
	for (int32 Index = 0; Index < 10000; ++Index)
	{
		Text += (Index == 0 ? "" : ",") + std::to_string(Index);
	}
	Text += "]";
	TArray<TSharedPtr<FJsonValue>> Elements;
	ASSERT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Widen(Text)), Elements));
	ASSERT_EQ(Elements.Num(), 10000);
	for (int32 Index = 0; Index < 10000; ++Index)
	{
		ASSERT_EQ(Elements[Index]->AsNumber(), double(Index));
	}
}
} // namespace
