#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "UObject/NameTypes.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<int32> ValuesInOrder(const TMap<FName, int32>& Map)
{
	std::vector<int32> Values;
	for (const auto& Pair : Map)
	{
		Values.push_back(Pair.Value);
	}
	return Values;
}
} // namespace

TEST(Map, AddReplacesTheValueOfAKeyInItsPlace)
{
	TMap<FName, int32> Map;
	Map.Add(FName("Slate"), 1);
	Map.Add(FName("Take"), 2);
	Map.Add(FName("Scene"), 3);
	// Names ignore case, so this is the first key again.
	Map.Add(FName("SLATE"), 10);

	EXPECT_EQ(Map.Num(), 3);
	EXPECT_EQ(ValuesInOrder(Map), (std::vector<int32>{10, 2, 3}));
	ASSERT_NE(Map.Find(FName("slate")), nullptr);
	EXPECT_EQ(*Map.Find(FName("slate")), 10);
}

TEST(Map, RemoveKeepsTheOrderOfTheRest)
{
	TMap<FName, int32> Map;
	for (int32 Index = 0; Index < 5; ++Index)
	{
		Map.Add(FName(*FString::Printf(TEXT("Key%d"), Index)), Index);
	}
	EXPECT_EQ(Map.Remove(FName("Key1")), 1);
	EXPECT_EQ(Map.Remove(FName("Key1")), 0);
	EXPECT_EQ(ValuesInOrder(Map), (std::vector<int32>{0, 2, 3, 4}));
	EXPECT_FALSE(Map.Contains(FName("Key1")));
	EXPECT_TRUE(Map.Contains(FName("Key4")));
}

TEST(Map, MissingKeysReadAsNullOrDefault)
{
	TMap<FString, FString> Map;
	Map.Add(FString(TEXT("Present")), FString(TEXT("Value")));

	EXPECT_EQ(Map.Find(FString(TEXT("Absent"))), nullptr);
	EXPECT_TRUE(Map.FindRef(FString(TEXT("Absent"))).IsEmpty());
	EXPECT_TRUE(Map.FindRef(FString(TEXT("present"))).Equals(TEXT("Value")));
	EXPECT_EQ(Map.Num(), 1);

	FString& Added = Map.FindOrAdd(FString(TEXT("New")));
	EXPECT_TRUE(Added.IsEmpty());
	Added = TEXT("Filled");
	EXPECT_TRUE(Map.FindRef(FString(TEXT("New"))).Equals(TEXT("Filled")));

	TArray<FString> Keys;
	EXPECT_EQ(Map.GetKeys(Keys), 2);
	EXPECT_TRUE(Keys[0].Equals(TEXT("Present")));
	EXPECT_TRUE(Keys[1].Equals(TEXT("New")));
}
