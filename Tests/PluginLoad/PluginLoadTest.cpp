// The plug-in as the editor meets it: a library this program does not link, loaded by name through the module
// manager, whose source factory is found among the registered classes.

#include "ILiveLinkSource.h"
#include "LiveLinkSourceFactory.h"
#include "LoopbackUdp.h"
#include "Modules/ModuleManager.h"
#include "StandIn/StandInModules.h"
#include "StandIn/UObjectRegistry.h"
#include "UObject/Class.h"
#include "UObject/UObjectHash.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace
{
const ULiveLinkSourceFactory* FindOrvidaFactory()
{
	TArray<UClass*> Factories;
	GetDerivedClasses(ULiveLinkSourceFactory::StaticClass(), Factories);
	for (UClass* Class : Factories)
	{
		if (Class->GetName() == TEXT("OrvidaLiveLinkSourceFactory") && Class->GetPackageName() == TEXT("/Script/OrvidaLiveLink"))
		{
			return static_cast<const ULiveLinkSourceFactory*>(Class->GetDefaultObject());
		}
	}
	return nullptr;
}
} // namespace

TEST(PluginLoad, TheModuleManagerLoadsThePluginAndTheRegistryFindsItsFactory)
{
	ASSERT_EQ(FindOrvidaFactory(), nullptr) << "nothing of the plug-in is here before it is loaded";
	FModuleManager& Modules = FModuleManager::Get();
	ASSERT_NE(Modules.LoadModule("OrvidaLiveLink"), nullptr);

	const ULiveLinkSourceFactory* Factory = FindOrvidaFactory();
	ASSERT_NE(Factory, nullptr);
	EXPECT_EQ(Factory->GetSourceDisplayName().ToString(), TEXT("Orvida LiveLink"));
	EXPECT_EQ(Factory->GetMenuType(), ULiveLinkSourceFactory::EMenuType::SubPanel);
	EXPECT_NE(FUObjectRegistry::Get().FindClass(TEXT("/Script/OrvidaLiveLink"), TEXT("OrvidaLiveLinkRuntimeSettings")), nullptr);
	{
		const FString ConnectionString = FString::Printf(TEXT("127.0.0.1:%u"), LoopbackUdp::PickFreePort());
		TSharedPtr<ILiveLinkSource> Source = Factory->CreateSource(ConnectionString);
		ASSERT_TRUE(Source.IsValid());
		EXPECT_TRUE(Source->IsSourceStillValid());
		EXPECT_EQ(Source->GetSourceStatus().ToString(), TEXT("Waiting for data"));
		EXPECT_TRUE(Source->RequestSourceShutdown());
	}

	EXPECT_TRUE(Modules.UnloadModule("OrvidaLiveLink"));
	EXPECT_FALSE(Modules.IsModuleLoaded("OrvidaLiveLink"));
	// Sanitizer runtimes may keep a closed library mapped; only a library really gone must have taken its classes.
	const FString Library = FStandInModules::GetModuleDirectory() + TEXT("/libOrvidaLiveLink.so");
	if (void* StillMapped = dlopen(TCHAR_TO_UTF8(*Library), RTLD_NOW | RTLD_NOLOAD))
	{
		dlclose(StillMapped);
	}
	else
	{
		EXPECT_EQ(FindOrvidaFactory(), nullptr) << "unloading the library takes its classes with it";
	}
}
