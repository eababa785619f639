#include "Modules/ModuleManager.h"
#include "CoreMinimal.h"
#include "LogCapture.h"
#include "StandIn/StandInModules.h"
#include "TestModuleInterface.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace
{
const FName TestModuleName("OrvidaTestModule");
const FName TestModuleBName("OrvidaTestModuleB");

std::vector<FLogCapture::FLine> ModuleManagerErrors(const FLogCapture& Capture)
{
	std::vector<FLogCapture::FLine> Lines;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Category == "LogModuleManager" && Line.Verbosity == ELogVerbosity::Error)
		{
			Lines.push_back(Line);
		}
	}
	return Lines;
}

/** True while the library is mapped into the process, whoever opened it. */
bool IsLibraryMapped(const char* LibraryFileName)
{
	const std::string Path = TCHAR_TO_UTF8(*FStandInModules::GetModuleDirectory()) + std::string("/") + LibraryFileName;
	void* Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_NOLOAD);
	if (Handle)
	{
		dlclose(Handle);
	}
	return Handle != nullptr;
}

/** Every test leaves the process-wide manager as it found it. */
class FModuleManagerLibraryTest : public ::testing::Test
{
protected:
	void TearDown() override
	{
		FModuleManager::Get().UnloadModule(TestModuleName);
		FModuleManager::Get().UnloadModule(TestModuleBName);
		FStandInModules::SetModuleDirectory(FString());
	}
};
} // namespace

TEST_F(FModuleManagerLibraryTest, LoadsTheLibraryByNameAndStartsItOnce)
{
	EXPECT_EQ(FModuleManager::GetModulePtr<ITestModule>(TestModuleName), nullptr);
	EXPECT_FALSE(IsLibraryMapped("libOrvidaTestModule.so"));

	ITestModule* Module = static_cast<ITestModule*>(FModuleManager::Get().LoadModule(TestModuleName));
	ASSERT_NE(Module, nullptr);
	EXPECT_STREQ(Module->GetTag(), "A");
	EXPECT_EQ(Module->GetStartupCount(), 1);
	EXPECT_TRUE(IsLibraryMapped("libOrvidaTestModule.so"));
	EXPECT_TRUE(FModuleManager::Get().IsModuleLoaded(TestModuleName));
	EXPECT_EQ(FModuleManager::GetModulePtr<ITestModule>(TestModuleName), Module);
	EXPECT_EQ(FModuleManager::GetModulePtr_Internal(TestModuleName), Module);

	EXPECT_EQ(FModuleManager::Get().LoadModule(TestModuleName), Module);
	EXPECT_EQ(&FModuleManager::Get().LoadModuleChecked(TestModuleName), Module);
	EXPECT_EQ(&FModuleManager::LoadModuleChecked<ITestModule>(TestModuleName), Module);
	EXPECT_EQ(Module->GetStartupCount(), 1);
}

TEST_F(FModuleManagerLibraryTest, UnloadShutsDownDeletesAndClosesTheLibrary)
{
	ITestModule* Module = static_cast<ITestModule*>(FModuleManager::Get().LoadModule(TestModuleName));
	ASSERT_NE(Module, nullptr);
	FTestModuleRecord Record;
	Module->SetRecord(&Record);

	EXPECT_TRUE(FModuleManager::Get().UnloadModule(TestModuleName));
	EXPECT_EQ(Record.Shutdowns, 1);
	EXPECT_EQ(Record.Destructions, 1);
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(TestModuleName));
	EXPECT_EQ(FModuleManager::GetModulePtr<ITestModule>(TestModuleName), nullptr);
	EXPECT_FALSE(IsLibraryMapped("libOrvidaTestModule.so"));

	EXPECT_FALSE(FModuleManager::Get().UnloadModule(TestModuleName));
	EXPECT_EQ(Record.Shutdowns, 1);
}

TEST_F(FModuleManagerLibraryTest, ReloadAfterUnloadMakesAFreshModule)
{
	ASSERT_NE(FModuleManager::Get().LoadModule(TestModuleName), nullptr);
	ASSERT_TRUE(FModuleManager::Get().UnloadModule(TestModuleName));
	ITestModule* Module = static_cast<ITestModule*>(FModuleManager::Get().LoadModule(TestModuleName));
	ASSERT_NE(Module, nullptr);
	EXPECT_EQ(Module->GetStartupCount(), 1);
}

TEST_F(FModuleManagerLibraryTest, EachLibraryGetsItsOwnEntry)
{
	ITestModule* ModuleA = static_cast<ITestModule*>(FModuleManager::Get().LoadModule(TestModuleName));
	ITestModule* ModuleB = static_cast<ITestModule*>(FModuleManager::Get().LoadModule(TestModuleBName));
	ASSERT_NE(ModuleA, nullptr);
	ASSERT_NE(ModuleB, nullptr);
	EXPECT_NE(ModuleA, ModuleB);
	EXPECT_STREQ(ModuleA->GetTag(), "A");
	EXPECT_STREQ(ModuleB->GetTag(), "B");

	// B loaded first in a fresh round must still get B's entry.
	ASSERT_TRUE(FModuleManager::Get().UnloadModule(TestModuleName));
	ASSERT_TRUE(FModuleManager::Get().UnloadModule(TestModuleBName));
	ModuleB = static_cast<ITestModule*>(FModuleManager::Get().LoadModule(TestModuleBName));
	ASSERT_NE(ModuleB, nullptr);
	EXPECT_STREQ(ModuleB->GetTag(), "B");
}

TEST_F(FModuleManagerLibraryTest, LibraryWithoutItsOwnEntryIsRefusedThoughADependencyHasOne)
{
	FLogCapture Capture;
	EXPECT_EQ(FModuleManager::Get().LoadModule(FName("OrvidaTestModuleNoEntry")), nullptr);
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName("OrvidaTestModuleNoEntry")));
	const std::vector<FLogCapture::FLine> Errors = ModuleManagerErrors(Capture);
	ASSERT_EQ(Errors.size(), 1u);
	EXPECT_NE(Errors[0].Text.find("OrvidaTestModuleNoEntry"), std::string::npos);
	EXPECT_NE(Errors[0].Text.find("InitializeModule"), std::string::npos);
	EXPECT_FALSE(IsLibraryMapped("libOrvidaTestModuleNoEntry.so"));
}

TEST_F(FModuleManagerLibraryTest, MissingLibraryGivesNullAndOneErrorLine)
{
	FLogCapture Capture;
	EXPECT_EQ(FModuleManager::Get().LoadModule(FName("OrvidaNoSuchModule")), nullptr);
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName("OrvidaNoSuchModule")));
	const std::vector<FLogCapture::FLine> Errors = ModuleManagerErrors(Capture);
	ASSERT_EQ(Errors.size(), 1u);
	EXPECT_NE(Errors[0].Text.find("OrvidaNoSuchModule"), std::string::npos);
	// The dynamic linker's own reason is passed on.
	EXPECT_NE(Errors[0].Text.find("libOrvidaNoSuchModule.so"), std::string::npos);
}

TEST_F(FModuleManagerLibraryTest, ModuleDirectoryDecidesWhereLibrariesAreFound)
{
	const FString ProgramDirectory = FStandInModules::GetProgramDirectory();
	ASSERT_FALSE(ProgramDirectory.IsEmpty());
	EXPECT_TRUE(FStandInModules::GetModuleDirectory() == ProgramDirectory);

	FStandInModules::SetModuleDirectory(FString("/nonexistent-orvida-modules"));
	FLogCapture Capture;
	EXPECT_EQ(FModuleManager::Get().LoadModule(TestModuleName), nullptr);
	EXPECT_EQ(ModuleManagerErrors(Capture).size(), 1u);

	FStandInModules::SetModuleDirectory(FString());
	EXPECT_NE(FModuleManager::Get().LoadModule(TestModuleName), nullptr);
}

TEST_F(FModuleManagerLibraryTest, NoneNameIsRefused)
{
	FLogCapture Capture;
	EXPECT_EQ(FModuleManager::Get().LoadModule(NAME_None), nullptr);
	EXPECT_EQ(ModuleManagerErrors(Capture).size(), 1u);
	EXPECT_FALSE(FModuleManager::Get().UnloadModule(NAME_None));
}
