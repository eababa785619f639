#pragma once

#include "CoreMinimal.h"

#include <string>

struct FHostSettingsCommand
{
	enum class EAction
	{
		List,
		Get,
		Set,
	};
	EAction Action = EAction::List;
	/** Empty: the current folder. */
	FString ProjectDir;
	/** The key for Get; KEY=VALUE for Set. */
	std::string Argument;
};

/**
 * Lists, reads or writes the plug-in's project settings as the editor's settings page does: through the page the
 * module registered, its settings object's reflected properties, and the page's save into the project's
 * Config/DefaultGame.ini. List prints Key=Value lines, Get the value, Set nothing. Returns 0 on success, 2 for
 * an unknown key or a value the setting does not take (the file is not touched), 1 when the module cannot be
 * started or the file cannot be written.
 */
int RunSettingsCommand(const FHostSettingsCommand& Command);
