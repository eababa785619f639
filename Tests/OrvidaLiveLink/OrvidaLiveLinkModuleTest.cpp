#include "OrvidaLiveLinkRuntimeSettings.h"

#include "ISettingsCategory.h"
#include "ISettingsContainer.h"
#include "ISettingsModule.h"
#include "ISettingsSection.h"
#include "LogCapture.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "StandIn/StandInPaths.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
std::string ToUtf8(const FText& Text) { return TCHAR_TO_UTF8(*Text.ToString()); }

TSharedPtr<ISettingsSection> FindOrvidaSection(ISettingsModule& Settings)
{
	const TSharedPtr<ISettingsContainer> Project = Settings.GetContainer("Project");
	const TSharedPtr<ISettingsCategory> Plugins = Project.IsValid() ? Project->GetCategory("Plugins") : nullptr;
	return Plugins.IsValid() ? Plugins->GetSection("Orvida") : nullptr;
}

/** A project folder of its own under /tmp, removed afterwards; a new name each time, as the config cache keeps files by name. */
class FTemporaryProject
{
public:
	FTemporaryProject()
	    : Directory(std::filesystem::temp_directory_path() / ("orvida-project-" + std::to_string(::getpid()) + "-" + std::to_string(NextNumber++)))
	{
		std::filesystem::create_directories(Directory / "Config");
		Saved = FPaths::ProjectDir();
		FStandInPaths::SetProjectDir(FString(UTF8_TO_TCHAR(Directory.c_str())));
	}
	~FTemporaryProject()
	{
		FStandInPaths::SetProjectDir(Saved);
		std::filesystem::remove_all(Directory);
	}
	std::filesystem::path ConfigFile() const { return Directory / "Config" / "DefaultGame.ini"; }

private:
	static inline int32 NextNumber = 0;
	std::filesystem::path Directory;
	FString Saved;
};

/** Saves the port as the settings editor does, through the plug-in's section with the modules loaded; the section's answer. */
bool SavePortThroughTheSettingsPage(int32 Port)
{
	FModuleManager& Modules = FModuleManager::Get();
	ISettingsModule* Settings = static_cast<ISettingsModule*>(Modules.LoadModule("Settings"));
	bool bSaved = false;
	if (Settings != nullptr && Modules.LoadModule("OrvidaLiveLink") != nullptr)
	{
		UOrvidaLiveLinkRuntimeSettings* Defaults = GetMutableDefault<UOrvidaLiveLinkRuntimeSettings>();
		const int32 PreviousPort = Defaults->NetworkPortIdByDefault;
		Defaults->NetworkPortIdByDefault = Port;
		// Held only inside this block: the registry's objects must not outlive the Settings module.
		{
			const TSharedPtr<ISettingsSection> Section = FindOrvidaSection(*Settings);
			bSaved = Section.IsValid() && Section->Save();
		}
		Defaults->NetworkPortIdByDefault = PreviousPort;
	}
	Modules.UnloadModule("OrvidaLiveLink");
	Modules.UnloadModule("Settings");
	return bSaved;
}
} // namespace

TEST(OrvidaLiveLinkModule, RegistersItsSettingsOnlyWhileTheSettingsModuleIsThere)
{
	FModuleManager& Modules = FModuleManager::Get();
	// Without the registry, start-up and shut-down do nothing and the settings stay readable.
	ASSERT_NE(Modules.LoadModule("OrvidaLiveLink"), nullptr);
	EXPECT_NE(GetDefault<UOrvidaLiveLinkRuntimeSettings>(), nullptr);
	EXPECT_TRUE(Modules.UnloadModule("OrvidaLiveLink"));

	ISettingsModule* Settings = static_cast<ISettingsModule*>(Modules.LoadModule("Settings"));
	ASSERT_NE(Settings, nullptr);
	ASSERT_NE(Modules.LoadModule("OrvidaLiveLink"), nullptr);
	{
		// Held only inside this block: the registry's objects must not outlive the Settings module.
		const TSharedPtr<ISettingsSection> Section = FindOrvidaSection(*Settings);
		ASSERT_TRUE(Section.IsValid());
		EXPECT_EQ(ToUtf8(Section->GetDisplayName()), "Orvida");
		EXPECT_EQ(ToUtf8(Section->GetDescription()), "Default configuration for the Vellacor Orvida - Live Link Plugin");
		EXPECT_EQ(Section->GetSettingsObject().Get(), GetMutableDefault<UOrvidaLiveLinkRuntimeSettings>());
		EXPECT_TRUE(Section->NotifySectionOnPropertyModified());
		const TSharedPtr<ISettingsCategory> Plugins = Settings->GetContainer("Project")->GetCategory("Plugins");
		EXPECT_EQ(ToUtf8(Plugins->GetDisplayName()), "Plugins");
		EXPECT_EQ(ToUtf8(Plugins->GetDescription()), "Configuration for the Vellacor Orvida - Live Link Plugin");
	}
	EXPECT_TRUE(Modules.UnloadModule("OrvidaLiveLink"));
	EXPECT_FALSE(FindOrvidaSection(*Settings).IsValid());
	Modules.UnloadModule("Settings");
}

TEST(OrvidaLiveLinkRuntimeSettings, DefaultsOnAProjectWithoutSavedValues)
{
	const FTemporaryProject Project;
	UOrvidaLiveLinkRuntimeSettings Fresh;
	Fresh.LoadConfig();
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Fresh.NetworkServerAddressByDefault)), "0.0.0.0");
	EXPECT_EQ(Fresh.NetworkPortIdByDefault, 9001);
	EXPECT_TRUE(Fresh.bAutoLens);
	EXPECT_TRUE(Fresh.bAutoSceneTakeUpdate);
	EXPECT_FALSE(Fresh.bAutoRecord);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Fresh.SubjectNameByDefault)), "Orvida - Camera");
}

TEST(OrvidaLiveLinkRuntimeSettings, SavedValuesReadBackAndOtherLinesStay)
{
	const FTemporaryProject Project;
	std::ofstream(Project.ConfigFile()) << "; kept\n[/Script/Engine.Other]\nKey=Value\n";
	UOrvidaLiveLinkRuntimeSettings Written;
	Written.NetworkServerAddressByDefault = TEXT("10.0.0.5");
	Written.NetworkPortIdByDefault = 7000;
	Written.bAutoLens = false;
	Written.bAutoRecord = true;
	Written.SubjectNameByDefault = TEXT("B Cam");
	ASSERT_TRUE(Written.UpdateDefaultConfigFile());

	UOrvidaLiveLinkRuntimeSettings Read;
	Read.LoadConfig();
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Read.NetworkServerAddressByDefault)), "10.0.0.5");
	EXPECT_EQ(Read.NetworkPortIdByDefault, 7000);
	EXPECT_FALSE(Read.bAutoLens);
	EXPECT_TRUE(Read.bAutoSceneTakeUpdate);
	EXPECT_TRUE(Read.bAutoRecord);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Read.SubjectNameByDefault)), "B Cam");

	std::stringstream File;
	File << std::ifstream(Project.ConfigFile()).rdbuf();
	EXPECT_NE(File.str().find("; kept"), std::string::npos);
	EXPECT_NE(File.str().find("[/Script/Engine.Other]\nKey=Value"), std::string::npos);
	EXPECT_NE(File.str().find("[/Script/OrvidaLiveLink.OrvidaLiveLinkRuntimeSettings]"), std::string::npos);
	EXPECT_NE(File.str().find("bAutoRecord=True"), std::string::npos);
}

TEST(OrvidaLiveLinkRuntimeSettings, AMalformedValueWarnsAndKeepsTheDefault)
{
	const FTemporaryProject Project;
	std::ofstream(Project.ConfigFile()) << "[/Script/OrvidaLiveLink.OrvidaLiveLinkRuntimeSettings]\nNetworkPortIdByDefault=ninety\nbAutoRecord=True\n";
	FLogCapture Log;
	UOrvidaLiveLinkRuntimeSettings Read;
	Read.LoadConfig();
	EXPECT_EQ(Read.NetworkPortIdByDefault, 9001);
	EXPECT_TRUE(Read.bAutoRecord);
	int32 Warnings = 0;
	for (const FLogCapture::FLine& Line : Log.GetLines())
	{
		Warnings += Line.Verbosity == ELogVerbosity::Warning && Line.Text.find("NetworkPortIdByDefault") != std::string::npos;
	}
	EXPECT_EQ(Warnings, 1);
}

TEST(OrvidaLiveLinkModule, TheSettingsPageSavesToTheProjectDefaultsThoughNothingHandlesSave)
{
	// The settings editor saves through the section; the module binds nothing to OnSave, so the section itself
	// must write the defaultconfig class to Config/DefaultGame.ini, or every edit is lost.
	const FTemporaryProject Project;
	EXPECT_TRUE(SavePortThroughTheSettingsPage(7123));

	std::stringstream File;
	File << std::ifstream(Project.ConfigFile()).rdbuf();
	EXPECT_NE(File.str().find("[/Script/OrvidaLiveLink.OrvidaLiveLinkRuntimeSettings]"), std::string::npos) << File.str();
	EXPECT_NE(File.str().find("NetworkPortIdByDefault=7123"), std::string::npos) << File.str();
}

TEST(OrvidaLiveLinkModule, TheSettingsPageReportsASaveThatCouldNotBeWritten)
{
	// The editor itself answers true whatever the write did; here a lost save must read as one.
	const FTemporaryProject Project;
	std::filesystem::create_directories(Project.ConfigFile() / "kept");
	FLogCapture Log;
	EXPECT_FALSE(SavePortThroughTheSettingsPage(7124));
	EXPECT_TRUE(std::filesystem::is_directory(Project.ConfigFile() / "kept"));
}
