#include "Editor/PresetFile.h"

#include "Editor/HostText.h"
#include "LiveLinkSourceFactory.h"
#include "StandIn/UObjectRegistry.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <fstream>
#include <unistd.h>

using nlohmann::json;

namespace
{
constexpr int FormatVersion = 1;

/** 32 hexadecimal digits, as FGuid::ToString writes them, into a valid guid; false for anything else. */
bool ParseGuid(const std::string& Text, FGuid& OutGuid)
{
	if (Text.size() != 32)
	{
		return false;
	}
	uint32 Parts[4] = {};
	for (int Index = 0; Index < 4; ++Index)
	{
		const char* Begin = Text.data() + Index * 8;
		const auto [End, Error] = std::from_chars(Begin, Begin + 8, Parts[Index], 16);
		if (Error != std::errc() || End != Begin + 8)
		{
			return false;
		}
	}
	OutGuid = FGuid(Parts[0], Parts[1], Parts[2], Parts[3]);
	return OutGuid.IsValid();
}

/** The registered class at "<package>.<name>" deriving from Base; null when there is none. */
UClass* FindClassByPath(const std::string& Path, const UClass* Base)
{
	const size_t Dot = Path.rfind('.');
	if (Dot == std::string::npos)
	{
		return nullptr;
	}
	UClass* Class = FUObjectRegistry::Get().FindClass(ToFString(Path.substr(0, Dot)), ToFString(Path.substr(Dot + 1)));
	return Class != nullptr && Class->IsChildOf(Base) ? Class : nullptr;
}

json DescribePreset(const FLiveLinkSourcePreset& Preset)
{
	const ULiveLinkSourceSettings& Settings = *Preset.Settings;
	json Values = json::object();
	for (TFieldIterator<FProperty> It(Settings.GetClass()); It; ++It)
	{
		Values[ToUtf8(It->GetName())] = ToUtf8(It->ExportText_InContainer(&Settings));
	}
	UClass* Factory = Settings.Factory.Get();
	return {{"guid", ToUtf8(Preset.Guid.ToString())},
	        {"factory", Factory != nullptr ? ToUtf8(Factory->GetPathName()) : std::string()},
	        {"sourceType", ToUtf8(Preset.SourceType.ToString())},
	        {"settingsClass", ToUtf8(Settings.GetClass()->GetPathName())},
	        {"settings", std::move(Values)}};
}

/** The preset an entry describes, its settings object new; empty with OutError set when the entry is refused. */
FLiveLinkSourcePreset ReadEntry(const json& Entry, std::string& OutError)
{
	FLiveLinkSourcePreset Preset;
	const auto Text = [&Entry](const char* Key) { return Entry.contains(Key) && Entry[Key].is_string() ? Entry[Key].get<std::string>() : std::string(); };
	if (!Entry.is_object())
	{
		OutError = "is not an object";
		return {};
	}
	if (!ParseGuid(Text("guid"), Preset.Guid))
	{
		OutError = "\"guid\" is not 32 hexadecimal digits";
		return {};
	}
	UClass* Factory = FindClassByPath(Text("factory"), ULiveLinkSourceFactory::StaticClass());
	if (Factory == nullptr)
	{
		OutError = "\"factory\" names no source factory class: \"" + Text("factory") + "\"";
		return {};
	}
	UClass* SettingsClass = FindClassByPath(Text("settingsClass"), ULiveLinkSourceSettings::StaticClass());
	if (SettingsClass == nullptr || SettingsClass->GetClassConstructor() == nullptr)
	{
		OutError = "\"settingsClass\" names no source settings class: \"" + Text("settingsClass") + "\"";
		return {};
	}
	if (!Entry.contains("settings") || !Entry["settings"].is_object())
	{
		OutError = "\"settings\" is not an object";
		return {};
	}
	ULiveLinkSourceSettings* Settings = NewObject<ULiveLinkSourceSettings>(nullptr, SettingsClass);
	for (const auto& [Name, Value] : Entry["settings"].items())
	{
		FProperty* Property = SettingsClass->FindPropertyByName(FName(*ToFString(Name)));
		if (Property == nullptr || !Value.is_string() || !Property->ImportText_InContainer(ToFString(Value.get<std::string>()), Settings))
		{
			OutError = "the setting \"" + Name + "\" " +
			           (Property == nullptr ? "is no property of " + Text("settingsClass") : "is no text of its type: " + Value.dump());
			Settings->MarkPendingKill();
			return {};
		}
	}
	Settings->Factory = Factory;
	Preset.Settings = Settings;
	Preset.SourceType = FText::FromString(ToFString(Text("sourceType")));
	return Preset;
}
} // namespace

std::string WritePresetFile(const std::filesystem::path& Path, const TArray<FLiveLinkSourcePreset>& Presets)
{
	json Sources = json::array();
	for (const FLiveLinkSourcePreset& Preset : Presets)
	{
		if (Preset.Settings != nullptr)
		{
			Sources.push_back(DescribePreset(Preset));
		}
	}
	const std::string Text = json{{"version", FormatVersion}, {"sources", std::move(Sources)}}.dump(2) + "\n";
	// Beside the file, so that the rename stays on one file system and a reader sees the old file or the new one.
	std::filesystem::path Temporary = Path;
	Temporary += ".tmp" + std::to_string(getpid());
	{
		std::ofstream Out(Temporary, std::ios::binary | std::ios::trunc);
		Out << Text;
		Out.flush();
		if (!Out)
		{
			std::error_code Ignored;
			std::filesystem::remove(Temporary, Ignored);
			return "cannot write " + Temporary.string();
		}
	}
	std::error_code Error;
	std::filesystem::rename(Temporary, Path, Error);
	if (Error)
	{
		std::error_code Ignored;
		std::filesystem::remove(Temporary, Ignored);
		return "cannot replace " + Path.string() + ": " + Error.message();
	}
	return {};
}

FHostPresetFileContents ReadPresetFile(const std::filesystem::path& Path)
{
	FHostPresetFileContents Contents;
	std::error_code Error;
	Contents.bExists = std::filesystem::exists(Path, Error);
	if (!Contents.bExists)
	{
		return Contents;
	}
	const std::string Name = Path.string();
	const uintmax_t Size = std::filesystem::file_size(Path, Error);
	if (Error || Size > MaxPresetFileBytes)
	{
		Contents.Error =
		    Name + ": " + (Error ? Error.message() : std::to_string(Size) + " bytes; a preset file has at most " + std::to_string(MaxPresetFileBytes));
		return Contents;
	}
	std::ifstream In(Path, std::ios::binary);
	const json Document = json::parse(In, nullptr, false);
	if (Document.is_discarded() || !Document.is_object())
	{
		Contents.Error = Name + ": not a JSON object";
		return Contents;
	}
	if (!Document.contains("version") || Document["version"] != FormatVersion)
	{
		Contents.Error = Name + ": \"version\" is not " + std::to_string(FormatVersion);
		return Contents;
	}
	if (!Document.contains("sources") || !Document["sources"].is_array() || Document["sources"].size() > MaxPresetSources)
	{
		Contents.Error = Name + ": \"sources\" is not a list of at most " + std::to_string(MaxPresetSources) + " sources";
		return Contents;
	}
	size_t Index = 0;
	for (const json& Entry : Document["sources"])
	{
		++Index;
		std::string EntryError;
		FLiveLinkSourcePreset Preset = ReadEntry(Entry, EntryError);
		if (Preset.Settings != nullptr)
		{
			Contents.Presets.Add(MoveTemp(Preset));
			continue;
		}
		// Cut short: the file is anyone's text, and the line goes to the console and the page.
		const std::string Guid =
		    Entry.is_object() && Entry.contains("guid") && Entry["guid"].is_string() ? " (" + Entry["guid"].get<std::string>().substr(0, 40) + ")" : "";
		Contents.EntryErrors.push_back(Name + ": source " + std::to_string(Index) + Guid + " not restored: " + EntryError);
	}
	return Contents;
}
