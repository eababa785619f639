#include "CoreMinimal.h"
#include "ISettingsCategory.h"
#include "ISettingsContainer.h"
#include "ISettingsModule.h"
#include "ISettingsSection.h"
#include "Modules/ModuleManager.h"
#include "UObject/Object.h"

#include <gtest/gtest.h>

namespace
{
const FName Project("Project");
const FName Plugins("Plugins");
const FName Orvida("Orvida");

FText Text(const char* String) { return FText::FromString(FString(String)); }

/** The registry as a host gets it: loaded by name through the module manager. */
class FSettingsModuleTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Settings = static_cast<ISettingsModule*>(FModuleManager::Get().LoadModule(FName("Settings")));
		ASSERT_NE(Settings, nullptr);
	}
	void TearDown() override { FModuleManager::Get().UnloadModule(FName("Settings")); }

	TSharedPtr<ISettingsSection> RegisterOrvida(UObject* Object, const char* DisplayName = "Orvida")
	{
		return Settings->RegisterSettings(Project, Plugins, Orvida, Text(DisplayName), Text("Defaults"), Object);
	}
	TArray<TSharedPtr<ISettingsSection>> SectionsOf(const FName& Container, const FName& Category)
	{
		TArray<TSharedPtr<ISettingsSection>> Sections;
		const TSharedPtr<ISettingsContainer> FoundContainer = Settings->GetContainer(Container);
		const TSharedPtr<ISettingsCategory> FoundCategory = FoundContainer ? FoundContainer->GetCategory(Category) : nullptr;
		if (FoundCategory)
		{
			FoundCategory->GetSections(Sections);
		}
		return Sections;
	}

	ISettingsModule* Settings = nullptr;
	UObject SettingsObject;
};
} // namespace

TEST_F(FSettingsModuleTest, ProjectAndEditorContainersExistFromTheStart)
{
	const TSharedPtr<ISettingsContainer> ProjectContainer = Settings->GetContainer(Project);
	ASSERT_TRUE(ProjectContainer.IsValid());
	EXPECT_EQ(ProjectContainer->GetName(), Project);
	ASSERT_TRUE(Settings->GetContainer(FName("Editor")).IsValid());
	EXPECT_FALSE(Settings->GetContainer(FName("Nowhere")).IsValid());

	TArray<FName> Names;
	EXPECT_EQ(Settings->GetContainerNames(Names), 2);
	TArray<TSharedPtr<ISettingsCategory>> Categories;
	EXPECT_EQ(ProjectContainer->GetCategories(Categories), 0);
}

TEST_F(FSettingsModuleTest, LinkedProgramAndModuleManagerShareOneRegistry)
{
	EXPECT_EQ(FModuleManager::GetModulePtr<ISettingsModule>(FName("Settings")), Settings);
	EXPECT_EQ(FModuleManager::Get().LoadModule(FName("Settings")), Settings);
}

TEST_F(FSettingsModuleTest, DescribeCategoryCreatesOrUpdatesIt)
{
	const TSharedPtr<ISettingsContainer> Container = Settings->GetContainer(Project);
	Container->DescribeCategory(Plugins, Text("Plugins"), Text("Configuration"));
	TSharedPtr<ISettingsCategory> Category = Container->GetCategory(Plugins);
	ASSERT_TRUE(Category.IsValid());
	EXPECT_EQ(Category->GetDisplayName().ToString(), FString("Plugins"));
	EXPECT_EQ(Category->GetDescription().ToString(), FString("Configuration"));

	Container->DescribeCategory(Plugins, Text("Extensions"), Text("Other"));
	TArray<TSharedPtr<ISettingsCategory>> Categories;
	EXPECT_EQ(Container->GetCategories(Categories), 1);
	EXPECT_EQ(Container->GetCategory(Plugins)->GetDisplayName().ToString(), FString("Extensions"));

	Container->DescribeCategory(NAME_None, Text("x"), Text("y"));
	EXPECT_EQ(Container->GetCategories(Categories), 1);
	EXPECT_FALSE(Settings->GetContainer(FName("Editor"))->GetCategory(Plugins).IsValid());
}

TEST_F(FSettingsModuleTest, RegisterAddsASectionWithItsTextsAndObject)
{
	const TSharedPtr<ISettingsSection> Section = RegisterOrvida(&SettingsObject);
	ASSERT_TRUE(Section.IsValid());
	EXPECT_EQ(Section->GetName(), Orvida);
	EXPECT_EQ(Section->GetDisplayName().ToString(), FString("Orvida"));
	EXPECT_EQ(Section->GetDescription().ToString(), FString("Defaults"));
	EXPECT_EQ(Section->GetSettingsObject().Get(), &SettingsObject);

	// An undescribed category is made on demand and shows its name.
	const TSharedPtr<ISettingsCategory> Category = Section->GetCategory().Pin();
	ASSERT_TRUE(Category.IsValid());
	EXPECT_EQ(Category->GetName(), Plugins);
	EXPECT_EQ(Category->GetDisplayName().ToString(), FString("Plugins"));
	EXPECT_EQ(Category->GetSection(Orvida), Section);
}

TEST_F(FSettingsModuleTest, RegisterWithTheSameNamesReplacesTheSection)
{
	const TSharedPtr<ISettingsSection> First = RegisterOrvida(&SettingsObject, "First");
	const TSharedPtr<ISettingsSection> Second = RegisterOrvida(&SettingsObject, "Second");
	ASSERT_TRUE(Second.IsValid());
	EXPECT_NE(First, Second);
	const TArray<TSharedPtr<ISettingsSection>> Sections = SectionsOf(Project, Plugins);
	ASSERT_EQ(Sections.Num(), 1);
	EXPECT_EQ(Sections[0], Second);
	EXPECT_EQ(Sections[0]->GetDisplayName().ToString(), FString("Second"));
}

TEST_F(FSettingsModuleTest, RegisterRefusesUnknownContainerAndNoneNames)
{
	EXPECT_FALSE(Settings->RegisterSettings(FName("Nowhere"), Plugins, Orvida, Text("O"), Text("D"), &SettingsObject).IsValid());
	EXPECT_FALSE(Settings->RegisterSettings(Project, NAME_None, Orvida, Text("O"), Text("D"), &SettingsObject).IsValid());
	EXPECT_FALSE(Settings->RegisterSettings(Project, Plugins, NAME_None, Text("O"), Text("D"), &SettingsObject).IsValid());
	TArray<TSharedPtr<ISettingsCategory>> Categories;
	EXPECT_EQ(Settings->GetContainer(Project)->GetCategories(Categories), 0);
}

TEST_F(FSettingsModuleTest, UnregisterRemovesOnlyTheNamedSection)
{
	RegisterOrvida(&SettingsObject);
	const TSharedPtr<ISettingsSection> Other = Settings->RegisterSettings(Project, Plugins, FName("Other"), Text("O"), Text("D"), nullptr);
	ASSERT_TRUE(Other.IsValid());
	EXPECT_FALSE(Other->GetSettingsObject().IsValid());

	// Names that match nothing change nothing.
	Settings->UnregisterSettings(FName("Editor"), Plugins, Orvida);
	Settings->UnregisterSettings(Project, FName("Nowhere"), Orvida);
	Settings->UnregisterSettings(FName("Nowhere"), Plugins, Orvida);
	EXPECT_EQ(SectionsOf(Project, Plugins).Num(), 2);

	Settings->UnregisterSettings(Project, Plugins, Orvida);
	const TArray<TSharedPtr<ISettingsSection>> Sections = SectionsOf(Project, Plugins);
	ASSERT_EQ(Sections.Num(), 1);
	EXPECT_EQ(Sections[0], Other);
	EXPECT_TRUE(Settings->GetContainer(Project)->GetCategory(Plugins).IsValid());
}

TEST_F(FSettingsModuleTest, OnModifiedResultPassesThrough)
{
	const TSharedPtr<ISettingsSection> Section = RegisterOrvida(&SettingsObject);
	ASSERT_TRUE(Section.IsValid());
	EXPECT_TRUE(Section->NotifySectionOnPropertyModified());

	int32 Calls = 0;
	bool bAnswer = false;
	Section->OnModified().BindLambda(
	    [&Calls, &bAnswer]()
	    {
		    ++Calls;
		    return bAnswer;
	    });
	EXPECT_FALSE(Section->NotifySectionOnPropertyModified());
	bAnswer = true;
	EXPECT_TRUE(Section->NotifySectionOnPropertyModified());
	EXPECT_EQ(Calls, 2);
}

TEST_F(FSettingsModuleTest, SaveAndResetReportTheirHandlersAndFailWithoutOne)
{
	const TSharedPtr<ISettingsSection> Section = RegisterOrvida(&SettingsObject);
	ASSERT_TRUE(Section.IsValid());
	EXPECT_FALSE(Section->Save());
	EXPECT_FALSE(Section->SaveDefaults());
	EXPECT_FALSE(Section->ResetDefaults());

	Section->OnSave().BindLambda([]() { return true; });
	Section->OnSaveDefaults().BindLambda([]() { return false; });
	Section->OnResetDefaults().BindLambda([]() { return true; });
	EXPECT_TRUE(Section->Save());
	EXPECT_FALSE(Section->SaveDefaults());
	EXPECT_TRUE(Section->ResetDefaults());
}
