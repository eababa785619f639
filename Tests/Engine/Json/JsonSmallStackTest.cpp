// The receiver thread parses with a 128 KiB stack; whatever a sender puts in a datagram must neither parse nor
// release past it. A stack overflow here ends the test program.
#include "Dom/JsonObject.h"
#include "JsonTestSupport.h"
#include "SmallStackThread.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace
{
using JsonTest::Nested;
using JsonTest::Widen;

constexpr uint32 ReceiverStackSize = 131072;
constexpr size_t LargestDatagram = 65507;

/** Parses Text into an object on a receiver-sized stack and releases the tree there too. */
bool ParsesOnSmallStack(const std::string& Text, std::function<void(const FJsonObject&)> Inspect = nullptr)
{
	const FString Wide = Widen(Text);
	bool bParsed = false;
	FSmallStackThread Thread(
	    [&]
	    {
		    TSharedPtr<FJsonObject> Object;
		    bParsed = FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Wide), Object);
		    if (bParsed && Inspect)
		    {
			    Inspect(*Object);
		    }
	    });
	EXPECT_TRUE(Thread.RunAndWait(ReceiverStackSize));
	// The system may round up, but the thread must not have run on a bigger stack than a receiver gets. TSan
	// gives every thread a larger stack of its own, so there only the parse results count.
	EXPECT_GT(Thread.StackSize, 0u);
#ifndef __SANITIZE_THREAD__
	EXPECT_LE(Thread.StackSize, size_t(ReceiverStackSize));
#endif
	return bParsed;
}

std::string RandomPrintable(size_t Length, const std::string& Alphabet, uint32 Seed)
{
	std::mt19937 Random(Seed);
	std::uniform_int_distribution<size_t> Pick(0, Alphabet.size() - 1);
	std::string Text(Length, ' ');
	for (char& Character : Text)
	{
		Character = Alphabet[Pick(Random)];
	}
	return Text;
}

TEST(JsonSmallStack, DeepestAcceptedTreesParseAndReleaseOnAReceiverStack)
{
	const int32 Depth = FJsonSerializer::MaxDepth;
	// Objects are the deeper case per level: a value, its object and the object's fields.
	int32 Levels = 0;
	EXPECT_TRUE(ParsesOnSmallStack(Nested(Depth - 1, "{\"a\":", "{\"b\":\"leaf\"}", "}"),
	                               [&Levels](const FJsonObject& Root)
	                               {
		                               const FJsonObject* Object = &Root;
		                               for (Levels = 1; Object->HasField(TEXT("a")); ++Levels)
		                               {
			                               Object = Object->Values.Find(TEXT("a"))->Get()->AsObject().Get();
		                               }
		                               EXPECT_EQ(Object->GetStringField(TEXT("b")), TEXT("leaf"));
	                               }));
	EXPECT_EQ(Levels, Depth);
	// An object, then array and object in turn, then an array of numbers: MaxDepth levels in all.
	EXPECT_TRUE(ParsesOnSmallStack("{\"a\":" + Nested((Depth - 2) / 2, "[{\"b\":", "[1,2]", "}]") + "}"));
}

TEST(JsonSmallStack, DeeperTextIsRefusedOnAReceiverStack)
{
	EXPECT_FALSE(ParsesOnSmallStack(Nested(FJsonSerializer::MaxDepth + 1, "{\"a\":", "1", "}")));
	EXPECT_FALSE(ParsesOnSmallStack("{\"a\":" + Nested(100000, "[", "", "]") + "}"));
	EXPECT_FALSE(ParsesOnSmallStack(Nested(100000, "{\"a\":", "1", "}")));
}

TEST(JsonSmallStack, LargestDatagramOfJunkIsRefused)
{
	std::string Printable;
	for (char Character = ' '; Character <= '~'; ++Character)
	{
		Printable += Character;
	}
	EXPECT_FALSE(ParsesOnSmallStack(RandomPrintable(LargestDatagram, Printable, 1)));
	// Mostly openers, so that whatever the parser makes of it goes deep.
	EXPECT_FALSE(ParsesOnSmallStack("{\"a\":" + RandomPrintable(LargestDatagram - 5, "[[[[{{\":,]}1\\", 2)));
}

TEST(JsonSmallStack, LargestDatagramOfValidJsonParses)
{
	std::string Text = R"({"OVDCamera":[{"Location":[1,2,3],"Metadata":["Sc\u00e9ne","A\"4","12"]}],"Deep":)";
	// The message object, arrays, and an object inside: MaxDepth levels.
	Text += Nested(FJsonSerializer::MaxDepth - 2, "[", "{\"x\":true}", "]");
	Text += ",\"Filler\":[";
	for (int32 Index = 0; Text.size() < LargestDatagram - 200; ++Index)
	{
		Text += (Index == 0 ? "" : ",") + std::string(Index % 2 == 0 ? "{\"k\":-1.5e3,\"s\":\"\\ud83d\\ude00\"}" : "\"abc\\n\"");
	}
	Text += "]}";
	Text.append(LargestDatagram - Text.size(), ' ');
	ASSERT_EQ(Text.size(), LargestDatagram);

	int32 Location = 0;
	EXPECT_TRUE(ParsesOnSmallStack(Text,
	                               [&Location](const FJsonObject& Message)
	                               {
		                               const TArray<TSharedPtr<FJsonValue>>* Camera = nullptr;
		                               ASSERT_TRUE(Message.TryGetArrayField(TEXT("ovdcamera"), Camera));
		                               Location = int32((*Camera)[0]->AsObject()->GetArrayField(TEXT("Location"))[2]->AsNumber());
		                               EXPECT_EQ((*Camera)[0]->AsObject()->GetArrayField(TEXT("Metadata"))[0]->AsString().GetStdString(), u"Sc\u00e9ne");
	                               }));
	EXPECT_EQ(Location, 3);
}
} // namespace
