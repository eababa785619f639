#include "OrvidaLiveLinkSourceCreation.h"

#include "LogCapture.h"
#include "OrvidaLiveLinkSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using namespace OrvidaLiveLinkSourceCreation;

std::string ToUtf8(const FString& Text) { return TCHAR_TO_UTF8(*Text); }
} // namespace

TEST(OrvidaLiveLinkSourceCreation, PanelStartsFromTheSettings)
{
	struct FCase
	{
		const TCHAR* Address;
		int32 Port;
		const char* Expected;
		// A blank default would leave the box empty, and the user guessing what an empty box means.
		const TCHAR* SubjectName = TEXT("Stage Cam");
		const char* ExpectedSubjectName = "Stage Cam";
	};
	const FCase Cases[] = {
	    {TEXT("0.0.0.0"), 9001, "0.0.0.0:9001"},
	    {TEXT("10.0.0.5"), 7000, "10.0.0.5:7000", TEXT(" B Cam "), "B Cam"},
	    {TEXT("0.0.0.0"), 70000, "0.0.0.0:4464", TEXT(" "), "Orvida - Camera"},
	    {TEXT("0.0.0.0"), -1, "0.0.0.0:65535", TEXT(""), "Orvida - Camera"},
	    // Addresses that the engine's parse would read as 44.0.0.1 and 10.0.0.5.
	    {TEXT("300.0.0.1"), 9100, "0.0.0.0:9100"},
	    {TEXT("10.0.0.5:7000"), 9200, "0.0.0.0:9200"},
	    {TEXT(""), 0, "0.0.0.0:0"},
	};
	for (const FCase& Case : Cases)
	{
		const FInitialPanelValues Values = MakeInitialPanelValues(Case.Address, Case.Port, Case.SubjectName, true, false, true);
		EXPECT_EQ(ToUtf8(Values.EndpointText), Case.Expected) << ToUtf8(Case.Address) << " " << Case.Port;
		EXPECT_EQ(ToUtf8(Values.SubjectName), Case.ExpectedSubjectName) << ToUtf8(Case.SubjectName);
		EXPECT_TRUE(Values.bAutoLens);
		EXPECT_FALSE(Values.bAutoSceneTakeUpdate);
		EXPECT_TRUE(Values.bAutoRecord);
	}
}

TEST(OrvidaLiveLinkSourceCreation, ConfirmationKeepsTheOptionsInOrder)
{
	// One option on at a time: a swap of any two options changes the result.
	const std::vector<bool> OptionSets[] = {{true, false, false}, {false, true, false}, {false, false, true}};
	for (const std::vector<bool>& Options : OptionSets)
	{
		const TOptional<FOrvidaLiveLinkConnectionSettings> Settings =
		    ConfirmConnectionSettings(TEXT("10.0.0.5:7000"), TEXT("B Cam"), TEXT("Stage Cam"), Options[0], Options[1], Options[2]);
		ASSERT_TRUE(Settings.IsSet());
		EXPECT_EQ(Settings.GetValue().Endpoint, FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000));
		EXPECT_EQ((std::vector<bool>{Settings.GetValue().bAutoLens, Settings.GetValue().bAutoSceneTakeUpdate, Settings.GetValue().bAutoRecord}), Options);
	}
}

// Faults caught: a blank box giving a source an empty or blank name (pushed under no name, or one that looks like
// none in the panel's list); spaces around a typed name kept, which makes it another name; the project's default
// passed over, or a blank default used as given.
TEST(OrvidaLiveLinkSourceCreation, ConfirmationResolvesTheSubjectName)
{
	const struct
	{
		const TCHAR* Typed;
		const TCHAR* ProjectDefault;
		const char* Expected;
	} Rows[] = {
	    {TEXT("B Cam"), TEXT("Stage Cam"), "B Cam"},    {TEXT(" B Cam\t"), TEXT("Stage Cam"), "B Cam"}, {TEXT(""), TEXT("Stage Cam"), "Stage Cam"},
	    {TEXT("  "), TEXT(" Stage Cam "), "Stage Cam"}, {TEXT(" "), TEXT(" "), "Orvida - Camera"},
	};
	for (const auto& Row : Rows)
	{
		const TOptional<FOrvidaLiveLinkConnectionSettings> Settings =
		    ConfirmConnectionSettings(TEXT("10.0.0.5:7000"), Row.Typed, Row.ProjectDefault, false, true, false);
		ASSERT_TRUE(Settings.IsSet());
		EXPECT_EQ(ToUtf8(Settings.GetValue().SubjectName), Row.Expected) << ToUtf8(Row.Typed) << "|" << ToUtf8(Row.ProjectDefault);
	}
}

TEST(OrvidaLiveLinkSourceCreation, SourcesCarryTheirSettingsAndConnectionString)
{
	// 10.0.0.5 is not an address of this machine: the sources cannot bind, which changes nothing here.
	FLogCapture QuietBuilder;
	FString ConnectionString;
	const TSharedPtr<FOrvidaLiveLinkSource> FromPanel =
	    CreateSource(FOrvidaLiveLinkConnectionSettings{FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000), true, true, true}, ConnectionString);
	ASSERT_TRUE(FromPanel.IsValid());
	EXPECT_EQ(ToUtf8(ConnectionString), "10.0.0.5:7000");
	const FOrvidaLiveLinkConnectionSettings PanelSettings = FromPanel->GetConnectionSettings();
	EXPECT_TRUE(PanelSettings.bAutoLens && PanelSettings.bAutoSceneTakeUpdate && PanelSettings.bAutoRecord);

	const TSharedPtr<FOrvidaLiveLinkSource> FromString = CreateSourceFromConnectionString(ConnectionString);
	ASSERT_TRUE(FromString.IsValid());
	const FOrvidaLiveLinkConnectionSettings StringSettings = FromString->GetConnectionSettings();
	EXPECT_EQ(StringSettings.Endpoint, PanelSettings.Endpoint);
	EXPECT_FALSE(StringSettings.bAutoLens);
	EXPECT_TRUE(StringSettings.bAutoSceneTakeUpdate);
	EXPECT_FALSE(StringSettings.bAutoRecord);
}
