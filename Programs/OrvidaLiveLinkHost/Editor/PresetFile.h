#pragma once

#include "CoreMinimal.h"
#include "LiveLinkPresetTypes.h"

#include <filesystem>
#include <string>
#include <vector>

/**
 * The host's preset file (the engine keeps presets as assets, which the host has no store for): JSON with
 * "version" 1 and "sources", each {"guid": 32 hex digits, "factory" and "settingsClass": class paths such as
 * "/Script/OrvidaLiveLink.OrvidaLiveLinkSourceFactory", "sourceType": text, "settings": {property: exported text}},
 * the settings being every reflected property of the settings class, as the stand-in's reflection writes them.
 * The settings' evaluation mode and buffer settings are not reflected here and are not kept.
 */

/** Files over this are refused unread: a preset of a few sources takes a few KiB. */
constexpr uintmax_t MaxPresetFileBytes = 1 << 20;
/** More entries than this are refused: each one opens a socket. */
constexpr size_t MaxPresetSources = 256;

/**
 * Writes the presets to Path whole or not at all: to a temporary file beside it, then renamed over it. Empty on
 * success; otherwise why, naming the file. Presets without settings are skipped. Game thread.
 */
std::string WritePresetFile(const std::filesystem::path& Path, const TArray<FLiveLinkSourcePreset>& Presets);

struct FHostPresetFileContents
{
	/** False when the file does not exist (nothing else is set then). */
	bool bExists = false;
	/** Why the file as a whole could not be read (too big, not JSON, another version), naming it; empty when it could. */
	std::string Error;
	/** One a readable entry, in the file's order; each settings object is new, and the caller marks it pending kill. */
	TArray<FLiveLinkSourcePreset> Presets;
	/** One a refused entry: the file, the entry's place and guid when it has one, and what is wrong with it. */
	std::vector<std::string> EntryErrors;
};

/**
 * Reads the file written by WritePresetFile. An entry is refused, and the others read, when its guid is not 32
 * hexadecimal digits, a class names no registered class of the right base, or a setting is no property of the
 * class or no value of its type. Game thread.
 */
FHostPresetFileContents ReadPresetFile(const std::filesystem::path& Path);
