#include "Editor/LogBuffer.h"

#include "CoreMinimal.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const FName Kept(TEXT("LogLiveLink"));
const FName Other(TEXT("LogOther"));
} // namespace

// Faults caught: repeats not folded (the 500 lines filled by one chatty message), lines folded that differ in
// verbosity or category, a repeat folded into an older line rather than only the one just before it, or lines of
// other categories kept.
TEST(HostLogBuffer, FoldsBackToBackRepeatsOnly)
{
	FHostLogBuffer Buffer({"LogLiveLink"}, 500);
	struct FLine
	{
		const TCHAR* Text;
		ELogVerbosity::Type Verbosity;
		FName Category;
	};
	const FLine Lines[] = {
	    {TEXT("bound"), ELogVerbosity::Log, Kept},     {TEXT("bound"), ELogVerbosity::Log, Kept},     {TEXT("bound"), ELogVerbosity::Log, Other},
	    {TEXT("bound"), ELogVerbosity::Log, Kept},     {TEXT("bound"), ELogVerbosity::Warning, Kept}, {TEXT("lost"), ELogVerbosity::Warning, Kept},
	    {TEXT("bound"), ELogVerbosity::Warning, Kept},
	};
	for (const FLine& Line : Lines)
	{
		Buffer.Serialize(Line.Text, Line.Verbosity, Line.Category);
	}
	const std::vector<FHostLogLineSnapshot> Copy = Buffer.Copy();
	std::vector<std::string> Seen;
	for (const FHostLogLineSnapshot& Line : Copy)
	{
		Seen.push_back(Line.Text + " " + Line.Verbosity + " x" + std::to_string(Line.Count));
		EXPECT_EQ(Line.Category, "LogLiveLink");
	}
	EXPECT_EQ(Seen, (std::vector<std::string>{"bound Log x3", "bound Warning x1", "lost Warning x1", "bound Warning x1"}));
}

// Faults caught: the bound off by one, the newest lines dropped instead of the oldest, or a folded repeat counted
// as a line of its own against the bound.
TEST(HostLogBuffer, KeepsTheNewest500Lines)
{
	FHostLogBuffer Buffer({"LogLiveLink"}, 500);
	for (int Index = 0; Index < 600; ++Index)
	{
		const FString Text = FString::Printf(TEXT("line %d"), Index);
		Buffer.Serialize(*Text, ELogVerbosity::Log, Kept);
		Buffer.Serialize(*Text, ELogVerbosity::Log, Kept);
	}
	const std::vector<FHostLogLineSnapshot> Copy = Buffer.Copy();
	ASSERT_EQ(Copy.size(), 500u);
	EXPECT_EQ(Copy.front().Text, "line 100");
	EXPECT_EQ(Copy.back().Text, "line 599");
	EXPECT_EQ(Copy.back().Count, 2);
}
