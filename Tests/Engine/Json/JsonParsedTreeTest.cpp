// A parsed object keeps small objects' names as the text it read until they are iterated or changed, and a tree
// released from its root counts its values back in one step. Both must stay invisible to users of the tree.
#include "Dom/JsonObject.h"
#include "JsonTestSupport.h"
#include "Serialization/JsonSerializer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{
using JsonTest::KeysOf;
using JsonTest::ParseObject;

struct FNamesRow
{
	const char* Name;
	/** UTF-8 text of one object whose fields hold the numbers 0, 1, 2, ... in document order. */
	std::string Text;
	/** The names as iteration shows them, each field's number being its position here. */
	std::vector<std::u16string> Keys;
	/** Another spelling of Keys[1], which a lookup must find. */
	std::u16string OtherCase;
};

std::ostream& operator<<(std::ostream& Stream, const FNamesRow& Row) { return Stream << Row.Name; }

class JsonParsedNames : public testing::TestWithParam<FNamesRow>
{
};

// The order matters: lookups before any iteration read the parsed text, those after it the strings, and a change
// turns the map into an ordinary one.
TEST_P(JsonParsedNames, AnswerLookupsBeforeAndAfterIterationAndChanges)
{
	const FNamesRow& Row = GetParam();
	const TSharedPtr<FJsonObject> Object = ParseObject(Row.Text);
	ASSERT_TRUE(Object.IsValid());
	const auto ExpectEveryField = [&](const char* Stage)
	{
		for (size_t Index = 0; Index < Row.Keys.size(); ++Index)
		{
			double Number = -1;
			EXPECT_TRUE(Object->TryGetNumberField(FString(Row.Keys[Index]), Number)) << Stage << " " << Index;
			EXPECT_EQ(Number, double(Index)) << Stage << " " << Index;
		}
		double Number = -1;
		EXPECT_TRUE(Object->TryGetNumberField(FString(Row.OtherCase), Number)) << Stage;
		EXPECT_EQ(Number, 1.0) << Stage;
		EXPECT_FALSE(Object->HasField(TEXT("absent"))) << Stage;
		EXPECT_FALSE(Object->HasField(FString(Row.Keys[0] + u"zz"))) << Stage;
	};

	ExpectEveryField("parsed");
	EXPECT_EQ(KeysOf(Object->Values), Row.Keys);
	ExpectEveryField("iterated");

	Object->SetNumberField(TEXT("added"), 99);
	Object->RemoveField(FString(Row.Keys[0]));
	std::vector<std::u16string> Expected(Row.Keys.begin() + 1, Row.Keys.end());
	Expected.push_back(u"added");
	EXPECT_EQ(KeysOf(Object->Values), Expected);
	double Number = -1;
	EXPECT_TRUE(Object->TryGetNumberField(FString(Row.OtherCase), Number));
	EXPECT_EQ(Number, 1.0);
	EXPECT_FALSE(Object->HasField(FString(Row.Keys[0])));
}

INSTANTIATE_TEST_SUITE_P(
    Json, JsonParsedNames,
    testing::Values(FNamesRow{"Ascii", R"({"Location":0,"Rotation":1,"Lens":2})", {u"Location", u"Rotation", u"Lens"}, u"rOTATION"},
                    // The map stops taking parsed text at the first name that is not ASCII, and keeps what it had.
                    // Escaped, because the text is widened byte by byte: UTF-8 bytes would arrive as two characters each.
                    FNamesRow{"NonAsciiInTheMiddle", R"({"Abc":0,"ab\u00e9":1,"Zed":2})", {u"Abc", u"ab\u00e9", u"Zed"}, u"AB\u00e9"},
                    FNamesRow{"NonAsciiFirst", R"({"\u00e9t\u00e9":0,"Take":1})", {u"\u00e9t\u00e9", u"Take"}, u"TAKE"},
                    // Parsed text is what the escapes stand for, not how they were written.
                    FNamesRow{"Escapes", R"({"\u0041b":0,"a\"b":1,"a\u0000b":2})", {u"Ab", u"a\"b", std::u16string(u"a\0b", 3)}, u"A\"B"},
                    FNamesRow{"EmptyName", R"({"":0,"x":1})", {u"", u"x"}, u"X"},
                    // Repeats keep the first place and the last value and spelling, whichever way the names are held.
                    FNamesRow{"Repeated", R"({"state":7,"Scale":1,"State":0})", {u"State", u"Scale"}, u"SCALE"},
                    FNamesRow{"RepeatedNonAscii", R"({"\u00e9":7,"Scale":1,"\u00e9":0})", {u"\u00e9", u"Scale"}, u"sCALE"}),
    [](const testing::TestParamInfo<FNamesRow>& Info) { return std::string(Info.param.Name); });

TEST(JsonParsedNames, CopiesAndMovesKeepTheirNamesAfterTheParseIsGone)
{
	FJsonObject Copy;
	FJsonFieldMap Moved;
	{
		const TSharedPtr<FJsonObject> Object = ParseObject(R"({"Metadata":1,"Timecode":2})");
		ASSERT_TRUE(Object.IsValid());
		Copy = *Object;
		const TSharedPtr<FJsonObject> Other = ParseObject(R"({"Version":3})");
		ASSERT_TRUE(Other.IsValid());
		Moved = MoveTemp(Other->Values);
		EXPECT_TRUE(Other->Values.IsEmpty());
	}
	// Later parses reuse the thread's buffers, and the arenas above are gone: nothing may point into either.
	ASSERT_TRUE(ParseObject(R"({"Overwrite":1,"Overwrite2":2})").IsValid());
	EXPECT_EQ(KeysOf(Copy.Values), (std::vector<std::u16string>{u"Metadata", u"Timecode"}));
	EXPECT_EQ(Copy.GetNumberField(TEXT("timecode")), 2.0);
	EXPECT_EQ(KeysOf(Moved), (std::vector<std::u16string>{u"Version"}));
	ASSERT_NE(Moved.Find(TEXT("VERSION")), nullptr);
}

// Iterating is a read: threads that iterate one parsed object at once must all see its names, and the sanitizer
// build sees whether making them races.
TEST(JsonParsedNames, ThreadsIterateOneParsedObjectAtOnce)
{
	for (int32 Round = 0; Round < 50; ++Round)
	{
		const TSharedPtr<FJsonObject> Object = ParseObject(R"({"Location":0,"Rotation":1,"Scale":2,"Lens":3})");
		ASSERT_TRUE(Object.IsValid());
		std::atomic<int32> Ready{0};
		std::atomic<int32> Wrong{0};
		std::vector<std::thread> Threads;
		for (int32 ThreadIndex = 0; ThreadIndex < 4; ++ThreadIndex)
		{
			Threads.emplace_back(
			    [&]
			    {
				    ++Ready;
				    while (Ready.load() < 4)
				    {
				    }
				    Wrong += KeysOf(Object->Values) == std::vector<std::u16string>{u"Location", u"Rotation", u"Scale", u"Lens"} ? 0 : 1;
				    Wrong += Object->HasField(TEXT("lens")) ? 0 : 1;
			    });
		}
		for (std::thread& Thread : Threads)
		{
			Thread.join();
		}
		ASSERT_EQ(Wrong.load(), 0) << Round;
	}
}

// The root's release counts its tree back on its own thread while other threads let go of parts they hold; the
// memory must go exactly once, after the last of them (the sanitizer builds see a double or early free).
TEST(JsonParsedTree, RootAndPartsReleasedOnDifferentThreadsAtOnce)
{
	for (int32 Round = 0; Round < 100; ++Round)
	{
		TSharedPtr<FJsonObject> Root = ParseObject(R"({"a":[1,2,[3,{"b":4}]],"c":{"d":[5]},"e":"text that is long enough"})");
		ASSERT_TRUE(Root.IsValid());
		std::vector<TSharedPtr<FJsonValue>> Parts{Root->TryGetField(TEXT("a")), Root->GetArrayField(TEXT("a"))[2], Root->TryGetField(TEXT("c")),
		                                          Root->TryGetField(TEXT("e"))};
		std::atomic<int32> Ready{0};
		std::vector<std::thread> Threads;
		for (TSharedPtr<FJsonValue>& Part : Parts)
		{
			Threads.emplace_back(
			    [Owned = MoveTemp(Part), &Ready]() mutable
			    {
				    ++Ready;
				    while (Ready.load() <= 4)
				    {
				    }
				    Owned.Reset();
			    });
		}
		while (Ready.load() < 4)
		{
		}
		++Ready;
		Root.Reset();
		for (std::thread& Thread : Threads)
		{
			Thread.join();
		}
	}
}
} // namespace
