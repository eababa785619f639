#include "TakeMetaData.h"
#include "Recorder/TakeRecorderBlueprintLibrary.h"
#include "Recorder/TakeRecorderPanel.h"
#include "StandIn/TakeRecorder.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

// Fault caught: a new slate starting the take number again at 1, as the engine's setter does not.
TEST(TakeMetaData, SetSlateLeavesTheTakeNumber)
{
	UTakeMetaData MetaData;
	MetaData.SetTakeNumber(12);
	MetaData.SetSlate(FString(TEXT("A004")));
	EXPECT_TRUE(MetaData.GetSlate().Equals(TEXT("A004")));
	EXPECT_EQ(MetaData.GetTakeNumber(), 12);
}

TEST(TakeMetaData, TakeNumbersAreAtLeastOne)
{
	const struct
	{
		int32 Given;
		int32 Expected;
	} Rows[] = {{12, 12}, {1, 1}, {0, 1}, {-5, 1}, {INT_MIN, 1}, {INT_MAX, INT_MAX}};
	UTakeMetaData MetaData;
	for (const auto& Row : Rows)
	{
		MetaData.SetTakeNumber(Row.Given);
		EXPECT_EQ(MetaData.GetTakeNumber(), Row.Expected) << Row.Given;
	}
}

TEST(TakeMetaData, LockedTakeKeepsItsValues)
{
	UTakeMetaData MetaData;
	MetaData.SetSlate(FString(TEXT("A004")));
	MetaData.SetTakeNumber(3);
	int32 Changes = 0;
	MetaData.OnTakeMetaDataChanged().AddLambda([&Changes](UTakeMetaData*) { ++Changes; });
	MetaData.Lock();

	MetaData.SetSlate(FString(TEXT("B001")));
	MetaData.SetTakeNumber(9);

	EXPECT_TRUE(MetaData.IsLocked());
	EXPECT_TRUE(MetaData.GetSlate().Equals(TEXT("A004")));
	EXPECT_EQ(MetaData.GetTakeNumber(), 3);
	EXPECT_EQ(Changes, 0);
	MetaData.Unlock();
	MetaData.SetTakeNumber(9);
	EXPECT_EQ(MetaData.GetTakeNumber(), 9);
}

TEST(TakeMetaData, ChangeIsAnnouncedOnlyWhenAskedFor)
{
	UTakeMetaData MetaData;
	std::vector<UTakeMetaData*> Announced;
	MetaData.OnTakeMetaDataChanged().AddLambda([&Announced](UTakeMetaData* Changed) { Announced.push_back(Changed); });

	MetaData.SetSlate(FString(TEXT("Quiet")), false);
	MetaData.SetTakeNumber(4, false);
	EXPECT_TRUE(Announced.empty());
	EXPECT_EQ(MetaData.GetTakeNumber(), 4);

	MetaData.SetSlate(FString(TEXT("Loud")));
	MetaData.SetTakeNumber(2, true);
	EXPECT_EQ(Announced, (std::vector<UTakeMetaData*>{&MetaData, &MetaData}));
	EXPECT_EQ(MetaData.GetClass(), UTakeMetaData::StaticClass());
}

TEST(TakeRecorderPanel, PanelIsReachableOnlyWhileOpen)
{
	EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel(), nullptr);
	EXPECT_FALSE(UTakeRecorderBlueprintLibrary::IsRecording());
	{
		FTakeRecorder Recorder;
		EXPECT_EQ(FTakeRecorder::Get(), &Recorder);
		EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel(), nullptr);

		UTakeRecorderPanel* Panel = Recorder.OpenPanel();
		ASSERT_NE(Panel, nullptr);
		EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel(), Panel);
		EXPECT_EQ(Panel->GetTakeMetaData(), Recorder.GetTakeMetaData());
		EXPECT_EQ(Recorder.OpenPanel(false), Panel);

		Recorder.ClosePanel();
		EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel(), nullptr);
		// A panel kept past its closing is safe and inert.
		EXPECT_EQ(Panel->GetTakeMetaData(), nullptr);
		Panel->StartRecording();
		EXPECT_FALSE(Recorder.IsRecording());

		UTakeRecorderPanel* Bare = Recorder.OpenPanel(false);
		EXPECT_NE(Bare, nullptr);
		EXPECT_EQ(Bare->GetTakeMetaData(), nullptr);
		EXPECT_NE(Recorder.GetTakeMetaData(), nullptr);
	}
	EXPECT_EQ(FTakeRecorder::Get(), nullptr);
	EXPECT_EQ(UTakeRecorderBlueprintLibrary::GetTakeRecorderPanel(), nullptr);
}
