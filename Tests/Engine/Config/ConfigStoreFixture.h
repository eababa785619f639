#pragma once

#include "Containers/StringConv.h"
#include "Misc/ConfigCacheIni.h"
#include "StandIn/StandInPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

/** The section of the test's settings class. */
inline const char* const Section = "[/Script/EngineTests.TestConfigSettings]";

/** A project folder of its own under /tmp, named as the project while the test runs, removed afterwards. */
class ConfigStore : public testing::Test
{
protected:
	void SetUp() override
	{
		std::string Name = testing::UnitTest::GetInstance()->current_test_info()->name();
		std::replace(Name.begin(), Name.end(), '/', '-');
		Root = std::filesystem::temp_directory_path() / ("orvida-config-" + std::to_string(getpid()) + "-" + Name);
		std::filesystem::remove_all(Root);
		std::filesystem::create_directories(Root);
		FStandInPaths::SetProjectDir(FString(UTF8_TO_TCHAR(Root.string().c_str())));
		IniPath = Root / "Config" / "DefaultGame.ini";
	}
	void TearDown() override
	{
		GConfig->UnloadFile(FString(UTF8_TO_TCHAR(IniPath.string().c_str())));
		FStandInPaths::SetProjectDir(FString());
		std::filesystem::remove_all(Root);
	}

	void WriteIni(const std::string& Text)
	{
		std::filesystem::create_directories(IniPath.parent_path());
		std::ofstream(IniPath, std::ios::binary) << Text;
		GConfig->UnloadFile(FString(UTF8_TO_TCHAR(IniPath.string().c_str())));
	}
	std::string ReadIni() const { return ReadBytes(IniPath); }
	static std::string ReadBytes(const std::filesystem::path& Path)
	{
		std::ifstream Stream(Path, std::ios::binary);
		std::stringstream Text;
		Text << Stream.rdbuf();
		return Text.str();
	}

	std::filesystem::path Root;
	std::filesystem::path IniPath;
};
