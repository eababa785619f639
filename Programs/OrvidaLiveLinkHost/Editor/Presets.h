#pragma once

#include "CoreMinimal.h"
#include "Editor/Source.h"
#include "LiveLinkPresetTypes.h"
#include "OrvidaLiveLinkSource.h"

#include <filesystem>
#include <string>
#include <vector>

class FLiveLinkClient;

/**
 * The host's Live Link preset: every source saved to the preset file (--preset FILE), and the sources made again
 * from it as the engine applies a preset: each through the client's CreateSource, under its saved guid, with its
 * saved settings.
 *
 * Threads: game thread only. The client and the source list must outlive it.
 */
class FHostPresets
{
public:
	/** What a save or a load did: an HTTP status, the sources saved or restored, and what went wrong. */
	struct FResult
	{
		int Status = 200;
		/** Why nothing was done; empty when something was. */
		std::string Error;
		int32 Count = 0;
		/** The entries of the file that made no source, each naming the file and what is wrong. */
		std::vector<std::string> EntryErrors;
	};

	/** An empty Path: no preset file, and Save and Load refuse. InTap, when set, is set on each source restored. */
	FHostPresets(std::filesystem::path InPath, FLiveLinkClient& InClient, TArray<FHostSource>& InSources, FOrvidaLiveLinkSource::FDatagramTap InTap);

	const std::filesystem::path& GetPath() const { return Path; }
	/** What the last save or load did, in a line for the page; empty before either. */
	const std::string& GetLastOutcome() const { return LastOutcome; }

	/** Writes every listed source's preset to the file (409 without one, 500 when it cannot be written). */
	FResult Save();
	/**
	 * Removes every source, ticks the client so that they go, and makes the file's sources (404 when the file does
	 * not exist, 409 without one, 400 when it cannot be read as a whole: the sources stay then). Each entry the
	 * file or the client refuses is named in the result and on standard error; the others are restored.
	 */
	FResult Load();

private:
	/** Makes a source through the client from each preset, lists those made, and names those refused. */
	void Restore(const TArray<FLiveLinkSourcePreset>& Presets, FResult& Result);
	void Remember(const FResult& Result, const char* Done);

	std::filesystem::path Path;
	FLiveLinkClient& Client;
	TArray<FHostSource>& Sources;
	FOrvidaLiveLinkSource::FDatagramTap Tap;
	std::string LastOutcome;
};
