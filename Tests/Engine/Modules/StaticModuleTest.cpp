#include "CoreMinimal.h"
#include "LogCapture.h"
#include "Modules/ModuleManager.h"
#include "StandIn/StandInModules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Events;

/** Records its calls in Events; the outer one loads the inner one during its own start-up. */
class FRecordingModule : public IModuleInterface
{
public:
	explicit FRecordingModule(std::string InName, FName InDependency = NAME_None)
	    : Name(std::move(InName))
	    , Dependency(InDependency)
	{
	}
	~FRecordingModule() override { Events.push_back("delete " + Name); }

	void StartupModule() override
	{
		if (!Dependency.IsNone())
		{
			FModuleManager::Get().LoadModule(Dependency);
		}
		Events.push_back("startup " + Name);
	}
	void PreUnloadCallback() override { Events.push_back("preunload " + Name); }
	void ShutdownModule() override { Events.push_back("shutdown " + Name); }

private:
	std::string Name;
	FName Dependency;
};

IModuleInterface* MakeInner() { return new FRecordingModule("inner"); }
IModuleInterface* MakeOuter() { return new FRecordingModule("outer", FName("OrvidaStaticInner")); }
IModuleInterface* MakeLone() { return new FRecordingModule("lone"); }
IModuleInterface* MakeNothing() { return nullptr; }

class FMacroModule : public IModuleInterface
{
};
} // namespace

IMPLEMENT_STATIC_MODULE(FMacroModule, OrvidaStaticMacro)

TEST(FModuleManagerStaticTest, RegisteredModuleLoadsByNameWithoutALibrary)
{
	Events.clear();
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticLone"), &MakeLone);
	IModuleInterface* Module = FModuleManager::Get().LoadModule(FName("OrvidaStaticLone"));
	ASSERT_NE(Module, nullptr);
	EXPECT_EQ(FModuleManager::Get().LoadModule(FName("OrvidaStaticLone")), Module);
	EXPECT_EQ(Events, (std::vector<std::string>{"startup lone"}));

	EXPECT_TRUE(FModuleManager::Get().UnloadModule(FName("OrvidaStaticLone")));
	EXPECT_EQ(Events, (std::vector<std::string>{"startup lone", "shutdown lone", "delete lone"}));

	// Without its registration the name is looked for as a library, which does not exist.
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticLone"), nullptr);
	FLogCapture Capture;
	EXPECT_EQ(FModuleManager::Get().LoadModule(FName("OrvidaStaticLone")), nullptr);
}

TEST(FModuleManagerStaticTest, MacroRegistersTheModuleAtProgramStart)
{
	IModuleInterface* Module = FModuleManager::Get().LoadModule(FName("OrvidaStaticMacro"));
	ASSERT_NE(Module, nullptr);
	EXPECT_NE(dynamic_cast<FMacroModule*>(Module), nullptr);
	EXPECT_TRUE(FModuleManager::Get().UnloadModule(FName("OrvidaStaticMacro")));
}

TEST(FModuleManagerStaticTest, EntryThatMakesNoObjectFailsWithOneError)
{
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticNothing"), &MakeNothing);
	FLogCapture Capture;
	EXPECT_EQ(FModuleManager::Get().LoadModule(FName("OrvidaStaticNothing")), nullptr);
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName("OrvidaStaticNothing")));
	int32 Errors = 0;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		Errors += Line.Category == "LogModuleManager" && Line.Verbosity == ELogVerbosity::Error ? 1 : 0;
	}
	EXPECT_EQ(Errors, 1);
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticNothing"), nullptr);
}

TEST(FModuleManagerStaticTest, UnloadingAtShutdownUnloadsDependentsBeforeTheirDependencies)
{
	Events.clear();
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticInner"), &MakeInner);
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticOuter"), &MakeOuter);
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticLone"), &MakeLone);

	ASSERT_NE(FModuleManager::Get().LoadModule(FName("OrvidaStaticOuter")), nullptr);
	ASSERT_NE(FModuleManager::Get().LoadModule(FName("OrvidaStaticLone")), nullptr);
	EXPECT_TRUE(FModuleManager::Get().IsModuleLoaded(FName("OrvidaStaticInner")));

	Events.clear();
	FModuleManager::Get().UnloadModulesAtShutdown();
	EXPECT_EQ(Events, (std::vector<std::string>{"preunload lone", "preunload outer", "preunload inner", "shutdown lone", "delete lone", "shutdown outer",
	                                            "delete outer", "shutdown inner", "delete inner"}));
	EXPECT_TRUE(FStandInModules::GetLoadedModuleNames().IsEmpty());

	FStandInModules::RegisterStaticModule(FName("OrvidaStaticInner"), nullptr);
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticOuter"), nullptr);
	FStandInModules::RegisterStaticModule(FName("OrvidaStaticLone"), nullptr);
}
