#include "Commands/SettingsCommand.h"

#include "Commands/SettingText.h"
#include "Commands/SettingsFileLock.h"
#include "Editor/Editor.h"
#include "ISettingsSection.h"
#include "Server/SettingsPage.h"
#include "UObject/Class.h"
#include "UObject/UnrealType.h"

#include <cstdio>
#include <optional>

namespace
{
FProperty* FindSetting(const UObject& Object, const FString& Key)
{
	if (FProperty* Property = FHostSettingsPage::FindSetting(Object, Key))
	{
		return Property;
	}
	std::fprintf(stderr, "orvida-livelink: no setting %s; the settings are:", TCHAR_TO_UTF8(*Key));
	for (const FProperty* Property : FHostSettingsPage::GetSettings(Object))
	{
		std::fprintf(stderr, " %s", TCHAR_TO_UTF8(*Property->GetName()));
	}
	std::fprintf(stderr, "\n");
	return nullptr;
}

int SetSetting(ISettingsSection& Section, UObject& Object, const std::string& Assignment)
{
	const size_t Equals = Assignment.find('=');
	if (Equals == std::string::npos)
	{
		std::fprintf(stderr, "orvida-livelink: settings set takes KEY=VALUE, not \"%s\"\n", Assignment.c_str());
		return 2;
	}
	const FString Key = UTF8_TO_TCHAR(Assignment.substr(0, Equals).c_str());
	const FString Value = UTF8_TO_TCHAR(Assignment.substr(Equals + 1).c_str());
	FProperty* Property = FindSetting(Object, Key);
	if (Property == nullptr)
	{
		return 2;
	}
	const FString Refusal = FHostSettingText::Validate(*Property, Value);
	if (!Refusal.IsEmpty())
	{
		std::fprintf(stderr, "orvida-livelink: %s\n", TCHAR_TO_UTF8(*Refusal));
		return 2;
	}
	FHostSettingText::Import(*Property, Value, &Object);
	if (!Section.NotifySectionOnPropertyModified() || !Section.Save())
	{
		std::fprintf(stderr, "orvida-livelink: the settings could not be saved to %s\n", TCHAR_TO_UTF8(*Object.GetDefaultConfigFilename()));
		return 1;
	}
	return 0;
}
} // namespace

int RunSettingsCommand(const FHostSettingsCommand& Command)
{
	// Taken before the editor reads the settings, so that what this command saves is what it read plus its change.
	std::optional<FHostSettingsFileLock> Lock;
	if (Command.Action == FHostSettingsCommand::EAction::Set)
	{
		Lock.emplace(FHostSettingsFileLock::SettingsFileOf(TCHAR_TO_UTF8(*Command.ProjectDir)));
		if (!Lock->IsHeld())
		{
			std::fprintf(stderr, "orvida-livelink: the settings were not changed: %s\n", Lock->GetError().c_str());
			return 1;
		}
	}
	FHostEditor Editor;
	if (!Editor.Start(Command.ProjectDir))
	{
		return 1;
	}
	const TSharedPtr<ISettingsSection> Section = Editor.FindSettingsSection();
	UObject* Object = Section ? Section->GetSettingsObject().Get() : nullptr;
	if (Object == nullptr)
	{
		std::fprintf(stderr, "orvida-livelink: the module %s registered no settings page\n", TCHAR_TO_UTF8(FHostEditor::PluginModuleName));
		return 1;
	}
	switch (Command.Action)
	{
	case FHostSettingsCommand::EAction::List:
		for (const FProperty* Property : FHostSettingsPage::GetSettings(*Object))
		{
			std::printf("%s=%s\n", TCHAR_TO_UTF8(*Property->GetName()), TCHAR_TO_UTF8(*FHostSettingText::Export(*Property, Object)));
		}
		return 0;
	case FHostSettingsCommand::EAction::Get:
		if (const FProperty* Property = FindSetting(*Object, UTF8_TO_TCHAR(Command.Argument.c_str())))
		{
			std::printf("%s\n", TCHAR_TO_UTF8(*FHostSettingText::Export(*Property, Object)));
			return 0;
		}
		return 2;
	case FHostSettingsCommand::EAction::Set:
		return SetSetting(*Section, *Object, Command.Argument);
	}
	return 2;
}
