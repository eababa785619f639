#pragma once

#include "CoreMinimal.h"

class ISettingsSection;

/**
 * A group of settings sections inside a container, such as "Plugins" in the project settings.
 *
 * Threads: game thread only.
 */
class ISettingsCategory
{
public:
	virtual ~ISettingsCategory() = default;

	virtual FName GetName() const = 0;
	/** The described display name; the category's name as text until it is described. */
	virtual FText GetDisplayName() const = 0;
	/** The described description; empty until it is described. */
	virtual FText GetDescription() const = 0;
	/** The section of that name, or null when the category has none. */
	virtual TSharedPtr<ISettingsSection> GetSection(const FName& SectionName) const = 0;
	/** Replaces OutSections with the category's sections in registration order; returns how many. */
	virtual int32 GetSections(TArray<TSharedPtr<ISettingsSection>>& OutSections) const = 0;
};
