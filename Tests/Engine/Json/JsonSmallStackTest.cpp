// The engine's reader builds a tree of any depth without recursing, so a receiver thread's 128 KiB stack can parse
// whatever a datagram holds. Releasing such a tree recurses once per level, as the engine's does; that part is the
// plug-in's to guard against, and here happens on a stack with room for it.
#include "Dom/JsonObject.h"
#include "JsonTestSupport.h"
#include "SmallStackThread.h"

#include <gtest/gtest.h>

namespace
{
constexpr uint32 ReceiverStackSize = 131072;
constexpr uint32 RoomyStackSize = 256 * 1024 * 1024;

TEST(JsonSmallStack, DeepTreeBuildsOnAReceiverStack)
{
	constexpr int32 Depth = 32000;
	const FString Text = JsonTest::Widen("{\"a\":" + JsonTest::Nested(Depth, "[", "1", "]") + "}");
	TSharedPtr<FJsonObject> Object;
	FSmallStackThread Parse([&] { FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Object); });
	ASSERT_TRUE(Parse.RunAndWait(ReceiverStackSize));
	// The system may round up, but the thread must not have run on a bigger stack than a receiver gets. TSan
	// gives every thread a larger stack of its own, so there only the parse result counts.
	EXPECT_GT(Parse.StackSize, 0u);
#ifndef __SANITIZE_THREAD__
	EXPECT_LE(Parse.StackSize, size_t(ReceiverStackSize));
#endif
	ASSERT_TRUE(Object.IsValid());

	int32 Levels = 0;
	const FJsonValue* Value = Object->TryGetField(TEXT("a")).Get();
	while (Value->Type == EJson::Array && Value->AsArray().Num() == 1)
	{
		++Levels;
		Value = Value->AsArray()[0].Get();
	}
	EXPECT_EQ(Levels, Depth);
	EXPECT_EQ(Value->AsNumber(), 1.0);

	FSmallStackThread Release([&] { Object.Reset(); });
	EXPECT_TRUE(Release.RunAndWait(RoomyStackSize));
}
} // namespace
