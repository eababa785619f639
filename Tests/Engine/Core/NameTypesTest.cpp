#include "UObject/NameTypes.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

// The name table lives for the whole process, so every test uses names that no other test adds.

TEST(NameTypes, EqualityIgnoresCaseAndKeepsTheFirstSpelling)
{
	const FName First(TEXT("NameTypesTest_OvdCamera"));
	const FName Upper(TEXT("NAMETYPESTEST_OVDCAMERA"));
	const FName Lower("nametypestest_ovdcamera");

	EXPECT_EQ(First, Upper);
	EXPECT_EQ(First, Lower);
	EXPECT_EQ(GetTypeHash(First), GetTypeHash(Lower));
	EXPECT_EQ(Lower.ToString().GetStdString(), u"NameTypesTest_OvdCamera");
	EXPECT_NE(First, FName(TEXT("NameTypesTest_OvdCamera2")));
	EXPECT_FALSE(First.IsNone());
}

TEST(NameTypes, FindDoesNotAddAMissingName)
{
	const FName Missing(TEXT("NameTypesTest_NeverAdded"), FNAME_Find);
	EXPECT_TRUE(Missing.IsNone());
	EXPECT_EQ(Missing, NAME_None);
	// Still missing: the first lookup must not have added it behind the caller's back.
	EXPECT_TRUE(FName("NameTypesTest_NeverAdded", FNAME_Find).IsNone());

	const FName Added(TEXT("NameTypesTest_AddedLater"));
	const FName Found(TEXT("nametypestest_addedlater"), FNAME_Find);
	EXPECT_FALSE(Found.IsNone());
	EXPECT_EQ(Found, Added);
}

TEST(NameTypes, NoneSpellingsAndEmptyTextAreNameNone)
{
	const FName Rows[] = {
	    FName(TEXT("None")),
	    FName(TEXT("NONE")),
	    FName("none"),
	    FName(TEXT("")),
	    FName(static_cast<const TCHAR*>(nullptr)),
	    FName(static_cast<const ANSICHAR*>(nullptr)),
	    FName(FString()),
	    FName(),
	};
	for (const FName& Name : Rows)
	{
		EXPECT_TRUE(Name.IsNone());
		EXPECT_EQ(Name, NAME_None);
	}
	EXPECT_EQ(NAME_None.ToString().GetStdString(), u"None");
}

TEST(NameTypes, EightBitAndWideTextNameTheSameEntry)
{
	EXPECT_EQ(FName("NameTypesTest_Subject_1"), FName(TEXT("NameTypesTest_Subject_1")));
	EXPECT_EQ(FName("NameTypesTest_Subject_1"), FName(FString(TEXT("NameTypesTest_Subject_1"))));
	// 8-bit text is not Latin-1: the engine's conversion makes bytes from 0x80 up '?'.
	EXPECT_EQ(FName("NameTypesTest_Cam\xE9ra"), FName(TEXT("NameTypesTest_Cam?ra")));
}

TEST(NameTypes, ThreadsAddingTheSameNamesAgree)
{
	constexpr int32 ThreadCount = 4;
	constexpr int32 NameCount = 200;
	std::vector<std::vector<FName>> Seen(ThreadCount);
	std::vector<std::thread> Threads;
	for (int32 ThreadIndex = 0; ThreadIndex < ThreadCount; ++ThreadIndex)
	{
		Threads.emplace_back(
		    [&Seen, ThreadIndex]
		    {
			    for (int32 NameIndex = 0; NameIndex < NameCount; ++NameIndex)
			    {
				    // Alternate the spelling per thread: the entry must still be one.
				    const std::string Text = (ThreadIndex % 2 ? "NAMETYPESTEST_RACE_" : "NameTypesTest_Race_") + std::to_string(NameIndex);
				    Seen[ThreadIndex].emplace_back(Text.c_str());
			    }
		    });
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	for (int32 NameIndex = 0; NameIndex < NameCount; ++NameIndex)
	{
		for (int32 ThreadIndex = 1; ThreadIndex < ThreadCount; ++ThreadIndex)
		{
			EXPECT_EQ(Seen[ThreadIndex][NameIndex], Seen[0][NameIndex]) << NameIndex;
		}
		EXPECT_NE(Seen[0][NameIndex], NameIndex > 0 ? Seen[0][NameIndex - 1] : NAME_None);
	}
}
