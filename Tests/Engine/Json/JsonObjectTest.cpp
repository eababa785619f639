#include "Dom/JsonObject.h"
#include "JsonTestSupport.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using JsonTest::KeysOf;
using JsonTest::ParseObject;

FString Key(int32 Index) { return FString(TEXT("Field")) + FString::FromInt(Index); }

struct FStateRow
{
	const char* Name;
	const char* Message;
	bool bRead;
	int32 Expected;
};

std::ostream& operator<<(std::ostream& Stream, const FStateRow& Row) { return Stream << Row.Name; }

class JsonInt32Field : public testing::TestWithParam<FStateRow>
{
};

// The camera record's "State" is read this way; a failed read must leave the caller's default.
TEST_P(JsonInt32Field, ReadsRoundedWithinRangeAndOtherwiseLeavesTheValue)
{
	const TSharedPtr<FJsonObject> Object = ParseObject(GetParam().Message);
	ASSERT_TRUE(Object.IsValid());
	int32 State = -7;
	EXPECT_EQ(Object->TryGetNumberField(TEXT("state"), State), GetParam().bRead);
	EXPECT_EQ(State, GetParam().bRead ? GetParam().Expected : -7);
}

INSTANTIATE_TEST_SUITE_P(Json, JsonInt32Field,
                         testing::Values(FStateRow{"Whole", R"({"State":2})", true, 2}, FStateRow{"HalfUp", R"({"State":2.5})", true, 3},
                                         FStateRow{"HalfDown", R"({"State":-2.5})", true, -3}, FStateRow{"Max", R"({"State":2147483647})", true, 2147483647},
                                         FStateRow{"AboveRange", R"({"State":3e9})", false, 0}, FStateRow{"BelowRange", R"({"State":-2147483649})", false, 0},
                                         FStateRow{"NumericString", R"({"State":"4"})", true, 4}, FStateRow{"TextString", R"({"State":"four"})", false, 0},
                                         FStateRow{"Array", R"({"State":[1]})", false, 0}, FStateRow{"Null", R"({"State":null})", false, 0},
                                         FStateRow{"Missing", R"({"Status":1})", false, 0}),
                         [](const testing::TestParamInfo<FStateRow>& Info) { return std::string(Info.param.Name); });

TEST(JsonObject, TryGetFormsFailWithoutTouchingTheOutValue)
{
	const TSharedPtr<FJsonObject> Object = ParseObject(R"({"Location":[1,2,3],"Name":"cam","Scale":1.5,"On":true,"Record":{"a":1}})");
	ASSERT_TRUE(Object.IsValid());
	const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
	EXPECT_FALSE(Object->TryGetArrayField(TEXT("Name"), Array));
	EXPECT_FALSE(Object->TryGetArrayField(TEXT("Missing"), Array));
	EXPECT_EQ(Array, nullptr);
	ASSERT_TRUE(Object->TryGetArrayField(TEXT("LOCATION"), Array));
	EXPECT_EQ(Array->Num(), 3);

	double Number = 9.0;
	EXPECT_FALSE(Object->TryGetNumberField(TEXT("Name"), Number));
	EXPECT_FALSE(Object->TryGetNumberField(TEXT("Location"), Number));
	EXPECT_EQ(Number, 9.0);
	const TSharedPtr<FJsonObject>* Record = nullptr;
	EXPECT_FALSE(Object->TryGetObjectField(TEXT("Location"), Record));
	EXPECT_EQ(Record, nullptr);
	ASSERT_TRUE(Object->TryGetObjectField(TEXT("record"), Record));
	EXPECT_TRUE((*Record)->HasField(TEXT("A")));

	FString Text = TEXT("unchanged");
	EXPECT_FALSE(Object->TryGetStringField(TEXT("Record"), Text));
	EXPECT_EQ(Text, TEXT("unchanged"));
	EXPECT_TRUE(Object->TryGetStringField(TEXT("Scale"), Text));
	EXPECT_EQ(Text, TEXT("1.5"));
	bool bOn = false;
	EXPECT_TRUE(Object->TryGetBoolField(TEXT("on"), bOn));
	EXPECT_TRUE(bOn);
}

TEST(JsonObject, GetFormsOnMissingFieldsLogAndGiveDefaults)
{
	const TSharedPtr<FJsonObject> Object = ParseObject(R"({"Present":[1]})");
	ASSERT_TRUE(Object.IsValid());
	FLogCapture Capture;
	EXPECT_EQ(Object->GetNumberField(TEXT("Absent")), 0.0);
	EXPECT_EQ(Object->GetArrayField(TEXT("Gone")).Num(), 0);
	EXPECT_EQ(Object->GetArrayField(TEXT("present")).Num(), 1);
	std::vector<std::string> Lines;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Category == "LogJson")
		{
			Lines.push_back(Line.Text);
		}
	}
	EXPECT_EQ(Lines, (std::vector<std::string>{"Field Absent was not found.", "Field Gone was not found."}));
}

TEST(JsonObject, SetAndRemoveKeepTheOrderOfTheRest)
{
	FJsonObject Object;
	Object.SetNumberField(TEXT("b"), 1);
	Object.SetStringField(TEXT("a"), TEXT("x"));
	Object.SetBoolField(TEXT("c"), true);
	Object.SetNumberField(TEXT("B"), 2);
	EXPECT_EQ(KeysOf(Object.Values), (std::vector<std::u16string>{u"B", u"a", u"c"}));
	EXPECT_EQ(Object.GetNumberField(TEXT("b")), 2.0);
	Object.RemoveField(TEXT("A"));
	EXPECT_EQ(KeysOf(Object.Values), (std::vector<std::u16string>{u"B", u"c"}));
	Object.SetField(TEXT("d"), nullptr);
	EXPECT_FALSE(Object.HasField(TEXT("d")));
	EXPECT_TRUE(Object.Values.Contains(TEXT("D")));
	Object.SetObjectField(TEXT("e"), nullptr);
	EXPECT_TRUE(Object.TryGetField(TEXT("e"))->IsNull());
}

// Past LinearSearchLimit the map keeps a hash index; every change that moves fields must keep it right.
TEST(JsonFieldMap, LookupsStayRightAcrossGrowthRemovalAndCopies)
{
	constexpr int32 Count = 1000;
	FJsonFieldMap Values;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Values.Add(Key(Index), MakeShared<FJsonValueNumber>(Index));
	}
	ASSERT_EQ(Values.Num(), Count);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const TSharedPtr<FJsonValue>* Found = Values.Find(Key(Index).ToUpper());
		ASSERT_NE(Found, nullptr) << Index;
		ASSERT_EQ((*Found)->AsNumber(), double(Index));
	}
	EXPECT_EQ(Values.Find(TEXT("Field1000")), nullptr);

	const FJsonFieldMap Copy = Values;
	// Removing from the front moves every later field down one place.
	for (int32 Index = 0; Index < Count - 5; ++Index)
	{
		ASSERT_EQ(Values.Remove(Key(Index)), 1);
	}
	EXPECT_EQ(Values.Remove(Key(0)), 0);
	EXPECT_EQ(KeysOf(Values), (std::vector<std::u16string>{u"Field995", u"Field996", u"Field997", u"Field998", u"Field999"}));
	for (int32 Index = Count - 5; Index < Count; ++Index)
	{
		ASSERT_NE(Values.Find(Key(Index)), nullptr) << Index;
	}
	Values.Add(TEXT("field997"), MakeShared<FJsonValueNull>());
	EXPECT_EQ(KeysOf(Values), (std::vector<std::u16string>{u"Field995", u"Field996", u"field997", u"Field998", u"Field999"}));

	ASSERT_EQ(Copy.Num(), Count);
	for (int32 Index = 0; Index < Count; Index += 97)
	{
		ASSERT_NE(Copy.Find(Key(Index)), nullptr) << Index;
	}
}
} // namespace
