#include "Server/SourceSettingsEdit.h"

#include "OrvidaLiveLinkSourceSettings.h"
#include "StandIn/LiveLinkClient.h"
#include "Templates/Casts.h"
#include "UObject/UnrealType.h"

#include <algorithm>

using nlohmann::json;

namespace
{
/** The settings the details show, by the API's name; the subject name is the one text among booleans. */
struct FEditableSetting
{
	const char* Key;
	const TCHAR* Property;
	bool bText;
};
constexpr FEditableSetting EditableSettings[] = {
    {"subjectName", TEXT("SubjectName"), true},
    {"autoLens", TEXT("bAutoLens"), false},
    {"autoSceneTakeUpdate", TEXT("bAutoSceneTakeUpdate"), false},
    {"autoRecord", TEXT("bAutoRecord"), false},
};

/** The engine's names hold at most 1023 characters (NAME_SIZE less the terminator). */
constexpr size_t MaxSubjectNameCharacters = 1023;

const FEditableSetting* FindSetting(const std::string& Key)
{
	const auto Found =
	    std::find_if(std::begin(EditableSettings), std::end(EditableSettings), [&Key](const FEditableSetting& Setting) { return Key == Setting.Key; });
	return Found != std::end(EditableSettings) ? Found : nullptr;
}

/** Why the value cannot be the setting's; empty when it can. */
std::string Refusal(const FEditableSetting& Setting, const json& Value)
{
	if (!Setting.bText)
	{
		return Value.is_boolean() ? std::string() : std::string("\"") + Setting.Key + "\" takes true or false";
	}
	if (!Value.is_string())
	{
		return "\"subjectName\" takes a text";
	}
	const std::string& Text = Value.get_ref<const std::string&>();
	const size_t Characters = size_t(std::count_if(Text.begin(), Text.end(), [](char Byte) { return (Byte & 0xC0) != 0x80; }));
	if (Text.empty() || Text.find('\0') != std::string::npos || Characters > MaxSubjectNameCharacters)
	{
		return "the subject name must hold 1 to " + std::to_string(MaxSubjectNameCharacters) + " characters and no NUL";
	}
	return {};
}
} // namespace

FHostApiReply EditSourceSettings(FLiveLinkClient& Client, const FGuid& SourceGuid, const json& Body)
{
	if (!Body.is_object() || Body.empty())
	{
		return FHostApiReply::Error(
		    400, "the body must be {\"subjectName\": TEXT, \"autoLens\": BOOL, \"autoSceneTakeUpdate\": BOOL, \"autoRecord\": BOOL} (any of them)");
	}
	for (const auto& [Key, Value] : Body.items())
	{
		const FEditableSetting* Setting = FindSetting(Key);
		if (Setting == nullptr)
		{
			return FHostApiReply::Error(400, "no setting \"" + Key + "\"; the settings are subjectName, autoLens, autoSceneTakeUpdate and autoRecord");
		}
		if (const std::string Why = Refusal(*Setting, Value); !Why.empty())
		{
			return FHostApiReply::Error(400, Why);
		}
	}
	UOrvidaLiveLinkSourceSettings* Settings = Cast<UOrvidaLiveLinkSourceSettings>(Client.GetSourceSettings(SourceGuid));
	if (Settings == nullptr)
	{
		return FHostApiReply::Error(409, "the source's settings hold no subject name or options (a preset saved before it had them made it)");
	}
	for (const FEditableSetting& Setting : EditableSettings)
	{
		if (!Body.contains(Setting.Key))
		{
			continue;
		}
		// Through the reflected property, as the details panel writes it.
		FProperty* Property = Settings->GetClass()->FindPropertyByName(FName(Setting.Property));
		bool bChanged = false;
		if (Setting.bText)
		{
			FString& Value = *Property->ContainerPtrToValuePtr<FString>(Settings);
			const FString Wanted = UTF8_TO_TCHAR(Body[Setting.Key].get<std::string>().c_str());
			bChanged = Value != Wanted;
			Value = Wanted;
		}
		else
		{
			bool& Value = *Property->ContainerPtrToValuePtr<bool>(Settings);
			bChanged = Value != Body[Setting.Key].get<bool>();
			Value = Body[Setting.Key].get<bool>();
		}
		if (bChanged)
		{
			Client.OnPropertyChanged(SourceGuid, FPropertyChangedEvent(Property, EPropertyChangeType::ValueSet));
		}
	}
	return {};
}
