#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"
#include "UObject/WeakObjectPtr.h"

class ISettingsContainer;
class ISettingsSection;
class UObject;

/**
 * The settings registry, the module named "Settings". It holds the containers "Project" and "Editor" from the
 * moment it exists; each container holds categories, each category sections.
 *
 * Threads: game thread only; nothing here takes a lock.
 */
class ISettingsModule : public IModuleInterface
{
public:
	/** The container of that name, or null when there is none. */
	virtual TSharedPtr<ISettingsContainer> GetContainer(const FName& ContainerName) = 0;
	/** Replaces OutNames with the names of all containers; returns how many. */
	virtual int32 GetContainerNames(TArray<FName>& OutNames) const = 0;

	/**
	 * Adds a section for SettingsObject under the container and category, making the category when needed, and
	 * replacing a section of the same name there. Null when the container does not exist or a name is None.
	 */
	virtual TSharedPtr<ISettingsSection> RegisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName,
	                                                      const FText& DisplayName, const FText& Description,
	                                                      const TWeakObjectPtr<UObject>& SettingsObject) = 0;
	/** Removes the section; names that match nothing change nothing. The category stays, even when empty. */
	virtual void UnregisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName) = 0;
};
