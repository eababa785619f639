#pragma once

#include "CoreMinimal.h"

class ISettingsSection;
class UClass;
class ULiveLinkSourceFactory;

/**
 * The host's start-up and shut-down as the editor does them: the project folder, the project's configuration,
 * the settings registry, then the plug-in's module by name, whose start-up registers its settings page; and the
 * plug-in's source factory found among the registered classes and made as the Live Link panel makes it.
 *
 * Threads: game thread only, like the module manager it drives.
 */
class FHostEditor
{
public:
	/** The module the host runs. */
	static const TCHAR* const PluginModuleName;

	/** Unloads the modules if Shutdown was not called. */
	~FHostEditor();

	/**
	 * Names the project folder (empty: the current folder), reads its Config/DefaultGame.ini into the
	 * configuration store, loads the "Settings" module and the plug-in's module. False, with a line on standard
	 * error, when a module cannot be loaded (the module manager logs why).
	 */
	bool Start(const FString& ProjectDir);

	/** A new factory object of the plug-in's registered factory class; null with a line on standard error when the class is not registered. */
	ULiveLinkSourceFactory* NewSourceFactory();
	/** A new factory object of Class, a class derived from ULiveLinkSourceFactory, collected at Shutdown. */
	ULiveLinkSourceFactory* NewSourceFactory(UClass* Class);

	/** The plug-in's page of the project settings (Project, Plugins, "Orvida"); null when its module did not register it. */
	TSharedPtr<ISettingsSection> FindSettingsSection() const;

	/**
	 * Marks the factories made here for collection and collects them, then unloads every module, the plug-in's
	 * first. True when the plug-in's module is no longer loaded afterwards. Nothing to do a second time.
	 */
	bool Shutdown();

	/** The project folder as named, with a trailing '/'. */
	const FString& GetProjectDir() const { return ProjectDir; }

private:
	FString ProjectDir;
	bool bStarted = false;
	TArray<TWeakObjectPtr<ULiveLinkSourceFactory>> Factories;
};
