#include "Misc/ConfigCacheIni.h"
#include "../CoreUObject/TestConfigSettings.h"
#include "ConfigStoreFixture.h"
#include "LogCapture.h"
#include "Misc/Paths.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

TEST_F(ConfigStore, DefaultsStandWhenTheProjectHasNoFile)
{
	UTestConfigSettings Object;
	Object.LoadConfig();
	EXPECT_EQ(Object.Address, TEXT("0.0.0.0"));
	EXPECT_EQ(Object.Port, 9001);
	EXPECT_TRUE(Object.bEnabled);
	EXPECT_EQ(Object.GetDefaultConfigFilename(), FString(UTF8_TO_TCHAR(IniPath.string().c_str())));
	EXPECT_FALSE(std::filesystem::exists(IniPath));
}

TEST_F(ConfigStore, SavedValuesReadBackInAFreshObject)
{
	UTestConfigSettings Saved;
	Saved.Address = TEXT("  padded address ");
	Saved.Port = 7777;
	Saved.bEnabled = false;
	Saved.Gain = 0.1f;
	Saved.SessionOnly = 99;
	ASSERT_TRUE(Saved.UpdateDefaultConfigFile());

	const std::string Text = ReadIni();
	EXPECT_NE(Text.find(Section), std::string::npos) << Text;
	EXPECT_NE(Text.find("Port=7777\n"), std::string::npos) << Text;
	EXPECT_NE(Text.find("bEnabled=False\n"), std::string::npos) << Text;
	EXPECT_EQ(Text.find("SessionOnly"), std::string::npos) << "a property without config was saved:\n" << Text;
	struct stat Status = {};
	ASSERT_EQ(stat(IniPath.c_str(), &Status), 0);
	EXPECT_EQ(Status.st_mode & 07777, 0644u) << "a new file is as readable as one the editor makes";

	// Read from disk, not from the cache the save filled.
	WriteIni(Text);
	UTestConfigSettings Loaded;
	Loaded.LoadConfig();
	EXPECT_EQ(Loaded.Address, Saved.Address);
	EXPECT_EQ(Loaded.Port, 7777);
	EXPECT_FALSE(Loaded.bEnabled);
	EXPECT_EQ(Loaded.Gain, 0.1f);
	EXPECT_EQ(Loaded.SessionOnly, 3);
}

TEST_F(ConfigStore, MalformedValueWarnsNamingKeyAndFileAndKeepsTheDefault)
{
	WriteIni(std::string(Section) + "\nPort=90o1\nbEnabled=False\nGain=loud\n");
	FLogCapture Capture;
	UTestConfigSettings Object;
	Object.LoadConfig();
	EXPECT_EQ(Object.Port, 9001);
	EXPECT_FALSE(Object.bEnabled) << "a good key next to a bad one must still load";
	EXPECT_EQ(Object.Gain, 1.5f);

	int32 Warnings = 0;
	bool bNamedPort = false;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Verbosity == ELogVerbosity::Warning)
		{
			++Warnings;
			bNamedPort = bNamedPort || (Line.Text.find("Port") != std::string::npos && Line.Text.find(IniPath.string()) != std::string::npos);
		}
	}
	EXPECT_EQ(Warnings, 2);
	EXPECT_TRUE(bNamedPort);
}

TEST_F(ConfigStore, SaveKeepsUnknownSectionsKeysAndCommentsInPlace)
{
	const std::string Before = "; project settings\n"
	                           "[/Script/Engine.Engine]\n"
	                           "+ActiveGameNameRedirects=(OldGameName=\"A\")\n"
	                           "bSmoothFrameRate=True\n"
	                           "\n" +
	                           std::string(Section) +
	                           "\n"
	                           "; the port the camera sends to\n"
	                           "Port=1234\n"
	                           "UnknownKey=kept\n"
	                           "\n"
	                           "[/Script/Other.Thing]\n"
	                           "Value=1 ; not a comment here\n";
	WriteIni(Before);
	UTestConfigSettings Object;
	Object.LoadConfig();
	ASSERT_EQ(Object.Port, 1234);
	Object.Port = 4321;
	ASSERT_TRUE(Object.UpdateDefaultConfigFile());

	const std::string Expected = "; project settings\n"
	                             "[/Script/Engine.Engine]\n"
	                             "+ActiveGameNameRedirects=(OldGameName=\"A\")\n"
	                             "bSmoothFrameRate=True\n"
	                             "\n" +
	                             std::string(Section) +
	                             "\n"
	                             "; the port the camera sends to\n"
	                             "Port=4321\n"
	                             "UnknownKey=kept\n"
	                             "Address=0.0.0.0\n"
	                             "bEnabled=True\n"
	                             "Gain=1.5\n"
	                             "\n"
	                             "[/Script/Other.Thing]\n"
	                             "Value=1 ; not a comment here\n";
	EXPECT_EQ(ReadIni(), Expected);
}

TEST_F(ConfigStore, DefaultObjectLoadsFromConfigWhenFirstMade)
{
	WriteIni(std::string(Section) + "\nAddress=192.168.0.9\nPort=6000\n");
	// Only this test makes the default object, so it is made here, with this project.
	ASSERT_EQ(UTestConfigSettings::StaticClass()->GetDefaultObject(false), nullptr);
	const UTestConfigSettings* Defaults = GetDefault<UTestConfigSettings>();
	ASSERT_NE(Defaults, nullptr);
	EXPECT_EQ(Defaults->Address, TEXT("192.168.0.9"));
	EXPECT_EQ(Defaults->Port, 6000);
	EXPECT_TRUE(Defaults->bEnabled);

	// Saving an instance makes its values the defaults, as a settings editor relies on.
	UTestConfigSettings Edited;
	Edited.Port = 6001;
	ASSERT_TRUE(Edited.SaveConfig());
	EXPECT_EQ(GetDefault<UTestConfigSettings>()->Port, 6001);
}

TEST(ConfigFile, ReadsTheEngineFormat)
{
	FConfigFile File;
	File.ProcessInputFileContents(
	    TEXT("Top=0\r\n[A]\r\n  Key = spaced value  \r\n;Key=commented\r\nQuoted=\" kept \"\r\nDup=1\r\n[B]\nKey=b\n[A]\nDup=2\nLate=3\n"));
	FString Value;
	EXPECT_TRUE(File.GetString(TEXT("A"), TEXT("key"), Value));
	EXPECT_EQ(Value, TEXT("spaced value"));
	EXPECT_TRUE(File.GetString(TEXT("A"), TEXT("Quoted"), Value));
	EXPECT_EQ(Value, TEXT(" kept "));
	EXPECT_TRUE(File.GetString(TEXT("A"), TEXT("Dup"), Value));
	EXPECT_EQ(Value, TEXT("1"));
	EXPECT_TRUE(File.GetString(TEXT("A"), TEXT("Late"), Value));
	EXPECT_EQ(Value, TEXT("3"));
	EXPECT_TRUE(File.GetString(TEXT("B"), TEXT("Key"), Value));
	EXPECT_EQ(Value, TEXT("b"));
	Value = TEXT("untouched");
	EXPECT_FALSE(File.GetString(TEXT("C"), TEXT("Key"), Value));
	EXPECT_FALSE(File.GetString(TEXT(""), TEXT("Top"), Value)) << "lines above the first section belong to none";
	EXPECT_EQ(Value, TEXT("untouched"));
	EXPECT_FALSE(File.IsDirty());
	File.SetString(TEXT("A"), TEXT("Key"), TEXT("spaced value"));
	EXPECT_FALSE(File.IsDirty()) << "setting the same value must not rewrite the file";
	File.SetString(TEXT("A"), TEXT("Key"), TEXT("Spaced Value"));
	EXPECT_TRUE(File.IsDirty()) << "a change of case is a change";
	EXPECT_TRUE(File.GetString(TEXT("A"), TEXT("Key"), Value));
	EXPECT_TRUE(Value.Equals(TEXT("Spaced Value"), ESearchCase::CaseSensitive));
}
