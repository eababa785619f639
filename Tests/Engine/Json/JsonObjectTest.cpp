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
	EXPECT_EQ(KeysOf(Object.Values), (std::vector<std::u16string>{u"b", u"a", u"c"}));
	EXPECT_EQ(Object.GetNumberField(TEXT("b")), 2.0);
	Object.RemoveField(TEXT("A"));
	EXPECT_EQ(KeysOf(Object.Values), (std::vector<std::u16string>{u"b", u"c"}));
	Object.SetField(TEXT("d"), nullptr);
	EXPECT_FALSE(Object.HasField(TEXT("d")));
	EXPECT_TRUE(Object.Values.Contains(TEXT("D")));
	Object.SetObjectField(TEXT("e"), nullptr);
	EXPECT_TRUE(Object.TryGetField(TEXT("e"))->IsNull());
}
} // namespace
