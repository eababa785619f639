#pragma once

#include "CoreMinimal.h"

class ISettingsCategory;

/**
 * A set of settings categories shown together, such as "Project" (the project settings) or "Editor".
 *
 * Threads: game thread only.
 */
class ISettingsContainer
{
public:
	virtual ~ISettingsContainer() = default;

	virtual FName GetName() const = 0;
	/** Sets the category's display name and description, creating the category when it does not exist; a None name does nothing. */
	virtual void DescribeCategory(const FName& CategoryName, const FText& DisplayName, const FText& Description) = 0;
	/** The category of that name, or null when the container has none. */
	virtual TSharedPtr<ISettingsCategory> GetCategory(const FName& CategoryName) const = 0;
	/** Replaces OutCategories with the container's categories in the order they were made; returns how many. */
	virtual int32 GetCategories(TArray<TSharedPtr<ISettingsCategory>>& OutCategories) const = 0;
};
