#include "Server/SettingsPage.h"

#include "Commands/SettingText.h"
#include "Commands/SettingsFileLock.h"
#include "Editor/HostText.h"
#include "ISettingsSection.h"
#include "UObject/Class.h"
#include "UObject/UnrealType.h"

#include <utility>

namespace
{
/** A JSON value as the setting text the command line takes; false for a value of no setting's kind. */
bool ToSettingText(const nlohmann::json& Value, FString& OutText)
{
	if (Value.is_boolean())
	{
		OutText = Value.get<bool>() ? TEXT("true") : TEXT("false");
	}
	else if (Value.is_number_integer())
	{
		OutText = UTF8_TO_TCHAR(Value.dump().c_str());
	}
	else if (Value.is_string())
	{
		OutText = UTF8_TO_TCHAR(Value.get<std::string>().c_str());
	}
	else
	{
		return false;
	}
	return true;
}
} // namespace

TArray<FProperty*> FHostSettingsPage::GetSettings(const UObject& Object)
{
	TArray<FProperty*> Settings;
	for (TFieldIterator<FProperty> It(Object.GetClass()); It; ++It)
	{
		if (It->HasAllPropertyFlags(CPF_Config | CPF_Edit))
		{
			Settings.Add(*It);
		}
	}
	return Settings;
}

FProperty* FHostSettingsPage::FindSetting(const UObject& Object, const FString& Key)
{
	for (FProperty* Property : GetSettings(Object))
	{
		if (Property->GetName() == Key)
		{
			return Property;
		}
	}
	return nullptr;
}

FHostSettingsPage::FHostSettingsPage(TSharedPtr<ISettingsSection> InSection)
    : Section(std::move(InSection))
    , Object(Section ? Section->GetSettingsObject().Get() : nullptr)
{
}

std::vector<FHostSettingSnapshot> FHostSettingsPage::Describe() const
{
	std::vector<FHostSettingSnapshot> Settings;
	if (Object == nullptr)
	{
		return Settings;
	}
	for (const FProperty* Property : GetSettings(*Object))
	{
		FHostSettingSnapshot& Setting = Settings.emplace_back();
		Setting.Key = ToUtf8(Property->GetName());
		const FString CppType = Property->GetCPPType();
		Setting.Kind = CppType == TEXT("bool")    ? FHostSettingSnapshot::EKind::Bool
		               : CppType == TEXT("int32") ? FHostSettingSnapshot::EKind::Integer
		                                          : FHostSettingSnapshot::EKind::Text;
		Setting.Value = ToUtf8(FHostSettingText::Export(*Property, Object));
		Setting.Tooltip = ToUtf8(Property->GetMetaData(TEXT("ToolTip")));
	}
	return Settings;
}

FHostSettingsPage::FResult FHostSettingsPage::Apply(const nlohmann::json& Values)
{
	if (Object == nullptr)
	{
		return {500, "the plug-in registered no settings page"};
	}
	if (!Values.is_object() || Values.empty())
	{
		return {400, "the body must be an object of one or more settings, {\"KEY\": VALUE}"};
	}
	TArray<std::pair<FProperty*, FString>> Changes;
	for (const auto& [Key, Value] : Values.items())
	{
		FProperty* Property = FindSetting(*Object, UTF8_TO_TCHAR(Key.c_str()));
		if (Property == nullptr)
		{
			return {400, "no setting " + Key};
		}
		FString Text;
		if (!ToSettingText(Value, Text))
		{
			return {400, Key + " takes a boolean, an integer or a text, not " + Value.dump()};
		}
		const FString Refusal = FHostSettingText::Validate(*Property, Text);
		if (!Refusal.IsEmpty())
		{
			return {400, ToUtf8(Refusal)};
		}
		Changes.Add({Property, Text});
	}
	// The file is another process's too (a `settings set` beside the running host): saves take turns.
	const FHostSettingsFileLock Lock(ToUtf8(Object->GetDefaultConfigFilename()));
	if (!Lock.IsHeld())
	{
		return {503, "the settings were not changed: " + Lock.GetError()};
	}
	for (const auto& [Property, Text] : Changes)
	{
		FHostSettingText::Import(*Property, Text, Object);
	}
	if (!Section->NotifySectionOnPropertyModified() || !Section->Save())
	{
		return {500, "the settings could not be saved to " + ToUtf8(Object->GetDefaultConfigFilename())};
	}
	return {};
}
