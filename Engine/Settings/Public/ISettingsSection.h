#pragma once

#include "CoreMinimal.h"
#include "UObject/WeakObjectPtr.h"

class ISettingsCategory;
class UObject;

/**
 * One page of settings: a settings object shown under a category of a container.
 *
 * Threads: game thread only, like the rest of the registry.
 */
class ISettingsSection
{
public:
	/** Asked when a property of the section changed; its result says whether the change may be saved. */
	DECLARE_DELEGATE_RetVal(bool, FOnModified);
	/** Asked to save the settings; its result says whether that worked. */
	DECLARE_DELEGATE_RetVal(bool, FOnSave);
	/** Asked to save the settings as the defaults; its result says whether that worked. */
	DECLARE_DELEGATE_RetVal(bool, FOnSaveDefaults);
	/** Asked to reset the settings to their defaults; its result says whether that worked. */
	DECLARE_DELEGATE_RetVal(bool, FOnResetDefaults);

	virtual ~ISettingsSection() = default;

	virtual FName GetName() const = 0;
	virtual FText GetDisplayName() const = 0;
	virtual FText GetDescription() const = 0;
	/** The category the section belongs to; unset once the category is gone. */
	virtual TWeakPtr<ISettingsCategory> GetCategory() = 0;
	/** The object whose properties the section shows; unset when it was registered without one. */
	virtual TWeakObjectPtr<UObject> GetSettingsObject() const = 0;

	/** Runs OnModified and returns its result; true when nothing is bound, as nothing objects to the change. */
	virtual bool NotifySectionOnPropertyModified() = 0;
	/**
	 * False when OnModified objects; otherwise runs OnSave and returns its result. With nothing bound to OnSave,
	 * saves the settings object itself: a defaultconfig class through UpdateDefaultConfigFile, any other through
	 * SaveConfig; false when there is no object or the file could not be written.
	 */
	virtual bool Save() = 0;
	/** Runs OnSaveDefaults and returns its result; false when nothing is bound. */
	virtual bool SaveDefaults() = 0;
	/** Runs OnResetDefaults and returns its result; false when nothing is bound. */
	virtual bool ResetDefaults() = 0;

	virtual FOnModified& OnModified() = 0;
	virtual FOnSave& OnSave() = 0;
	virtual FOnSaveDefaults& OnSaveDefaults() = 0;
	virtual FOnResetDefaults& OnResetDefaults() = 0;
};
