#include "CoreMinimal.h"
#include "ISettingsContainer.h"
#include "ISettingsModule.h"
#include "ISettingsSection.h"
#include "Modules/ModuleManager.h"
#include "OrvidaLiveLinkRuntimeSettings.h"
#include "UObject/UObjectGlobals.h"

#define LOCTEXT_NAMESPACE "FOrvidaLiveLinkModule"

/**
 * The module object: registers the project settings under Project, Plugins, "Orvida" at start-up and removes
 * them at shut-down. Without a loaded "Settings" module both do nothing, and the settings stay readable through
 * the class's default object.
 *
 * Threads: the module manager calls it on the game thread.
 */
class FOrvidaLiveLinkModule : public IModuleInterface
{
public:
	virtual void StartupModule() override
	{
		ISettingsModule* SettingsModule = FModuleManager::GetModulePtr<ISettingsModule>("Settings");
		if (SettingsModule == nullptr)
		{
			return;
		}
		// A registry without a project container registers nothing and returns no section.
		if (const TSharedPtr<ISettingsContainer> ProjectContainer = SettingsModule->GetContainer("Project"))
		{
			ProjectContainer->DescribeCategory("Plugins", LOCTEXT("RuntimeWDCategoryName", "Plugins"),
			                                   LOCTEXT("RuntimeWDCategoryDescription", "Configuration for the Vellacor Orvida - Live Link Plugin"));
		}
		UOrvidaLiveLinkRuntimeSettings* Settings = GetMutableDefault<UOrvidaLiveLinkRuntimeSettings>();
		const TSharedPtr<ISettingsSection> Section = SettingsModule->RegisterSettings(
		    "Project", "Plugins", "Orvida", LOCTEXT("RuntimeGeneralSettingsName", "Orvida"),
		    LOCTEXT("RuntimeGeneralSettingsDescription", "Default configuration for the Vellacor Orvida - Live Link Plugin"), Settings);
		if (Section.IsValid())
		{
			Section->OnModified().BindRaw(this, &FOrvidaLiveLinkModule::HandleSettingsNotification);
		}
	}

	virtual void ShutdownModule() override
	{
		if (ISettingsModule* SettingsModule = FModuleManager::GetModulePtr<ISettingsModule>("Settings"))
		{
			SettingsModule->UnregisterSettings("Project", "Plugins", "Orvida");
		}
	}

	virtual bool SupportsDynamicReloading() override { return true; }

	/** Changes nothing; the registry's notification only needs a yes. */
	bool HandleSettingsNotification()
	{
		GetMutableDefault<UOrvidaLiveLinkRuntimeSettings>();
		return true;
	}
};

IMPLEMENT_MODULE(FOrvidaLiveLinkModule, OrvidaLiveLink)

#undef LOCTEXT_NAMESPACE
