#include "Editor/Editor.h"

#include "ISettingsCategory.h"
#include "ISettingsContainer.h"
#include "ISettingsModule.h"
#include "LiveLinkSourceFactory.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "StandIn/StandInPaths.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UObjectHash.h"

#include <cstdio>

const TCHAR* const FHostEditor::PluginModuleName = TEXT("OrvidaLiveLink");

namespace
{
const TCHAR* const FactoryPackage = TEXT("/Script/OrvidaLiveLink");
const TCHAR* const FactoryClassName = TEXT("OrvidaLiveLinkSourceFactory");

/** The factory class as the Live Link panel finds it: among the classes derived from ULiveLinkSourceFactory. */
UClass* FindFactoryClass()
{
	TArray<UClass*> FactoryClasses;
	GetDerivedClasses(ULiveLinkSourceFactory::StaticClass(), FactoryClasses);
	for (UClass* Class : FactoryClasses)
	{
		if (Class->GetName() == FactoryClassName && Class->GetPackageName() == FactoryPackage)
		{
			return Class;
		}
	}
	return nullptr;
}
} // namespace

FHostEditor::~FHostEditor() { Shutdown(); }

bool FHostEditor::Start(const FString& InProjectDir)
{
	FStandInPaths::SetProjectDir(InProjectDir);
	ProjectDir = FPaths::ProjectDir();
	GConfig->LoadFile(FPaths::ProjectConfigDir() + TEXT("DefaultGame.ini"));
	bStarted = true;
	// The registry first, as in the editor: the plug-in's start-up registers its settings page there.
	for (const TCHAR* ModuleName : {TEXT("Settings"), PluginModuleName})
	{
		if (FModuleManager::Get().LoadModule(ModuleName) == nullptr)
		{
			std::fprintf(stderr, "orvida-livelink: the module %s could not be loaded\n", TCHAR_TO_UTF8(ModuleName));
			return false;
		}
	}
	return true;
}

ULiveLinkSourceFactory* FHostEditor::NewSourceFactory()
{
	UClass* Class = FindFactoryClass();
	if (Class == nullptr)
	{
		std::fprintf(stderr, "orvida-livelink: no class %s is registered in %s\n", TCHAR_TO_UTF8(FactoryClassName), TCHAR_TO_UTF8(FactoryPackage));
		return nullptr;
	}
	return NewSourceFactory(Class);
}

ULiveLinkSourceFactory* FHostEditor::NewSourceFactory(UClass* Class)
{
	// The editor makes its factories in the transient package; the stand-in has no packages, so no outer.
	ULiveLinkSourceFactory* Factory = NewObject<ULiveLinkSourceFactory>(nullptr, Class);
	Factories.Add(Factory);
	return Factory;
}

TSharedPtr<ISettingsSection> FHostEditor::FindSettingsSection() const
{
	ISettingsModule* Settings = FModuleManager::GetModulePtr<ISettingsModule>("Settings");
	const TSharedPtr<ISettingsContainer> Project = Settings != nullptr ? Settings->GetContainer("Project") : nullptr;
	const TSharedPtr<ISettingsCategory> Plugins = Project ? Project->GetCategory("Plugins") : nullptr;
	return Plugins ? Plugins->GetSection("Orvida") : nullptr;
}

bool FHostEditor::Shutdown()
{
	if (!bStarted)
	{
		return !FModuleManager::Get().IsModuleLoaded(PluginModuleName);
	}
	bStarted = false;
	// The factories' code lives in the plug-in's library, so they go before it does.
	for (const TWeakObjectPtr<ULiveLinkSourceFactory>& Factory : Factories)
	{
		if (ULiveLinkSourceFactory* Living = Factory.Get())
		{
			Living->MarkPendingKill();
		}
	}
	Factories.Empty();
	CollectGarbage(RF_NoFlags);
	FModuleManager::Get().UnloadModulesAtShutdown();
	return !FModuleManager::Get().IsModuleLoaded(PluginModuleName);
}
