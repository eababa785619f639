#pragma once

#include "CoreMinimal.h"
#include "Editor/Snapshot.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class FProperty;
class ISettingsSection;

/**
 * The plug-in's page of the project settings as the settings editor shows it: the settings object's editable
 * properties that live in the configuration, each with its tooltip, changed through reflection and saved through
 * the section.
 *
 * Threads: game thread only, like the settings object.
 */
class FHostSettingsPage
{
public:
	/** The settings the page shows, in declaration order. */
	static TArray<FProperty*> GetSettings(const UObject& Object);
	/** The setting named Key; null when there is none. */
	static FProperty* FindSetting(const UObject& Object, const FString& Key);

	/** Section may be null (a module that registered no page): no settings, and every change is refused. */
	explicit FHostSettingsPage(TSharedPtr<ISettingsSection> InSection);

	/** Each setting's value, kind and tooltip. */
	std::vector<FHostSettingSnapshot> Describe() const;

	/** The outcome of a change; Status 200 with no error when it was saved. */
	struct FResult
	{
		int Status = 200;
		std::string Error;
	};
	/**
	 * Sets every key of Values (a JSON object: booleans for the switches, an integer for the port, a dotted quad
	 * for the address) and saves the page. Changes nothing and answers 400 for a body that is not an object, an
	 * unknown key or a value its setting refuses; answers 500 when the save fails, with the values already set.
	 */
	FResult Apply(const nlohmann::json& Values);

private:
	TSharedPtr<ISettingsSection> Section;
	UObject* Object = nullptr;
};
