#include "Editor/Presets.h"

#include "Editor/PresetFile.h"
#include "StandIn/LiveLinkClient.h"

#include <cstdio>

FHostPresets::FHostPresets(std::filesystem::path InPath, FLiveLinkClient& InClient, TArray<FHostSource>& InSources, FOrvidaLiveLinkSource::FDatagramTap InTap)
    : Path(std::move(InPath))
    , Client(InClient)
    , Sources(InSources)
    , Tap(std::move(InTap))
{
}

FHostPresets::FResult FHostPresets::Save()
{
	FResult Result;
	if (Path.empty())
	{
		Result = {409, "the host was started without --preset FILE"};
		return Result;
	}
	TArray<FLiveLinkSourcePreset> Presets;
	for (const FHostSource& Entry : Sources)
	{
		Presets.Add(Client.GetSourcePreset(Entry.Guid, nullptr));
	}
	const std::string Error = WritePresetFile(Path, Presets);
	for (FLiveLinkSourcePreset& Preset : Presets)
	{
		if (Preset.Settings != nullptr)
		{
			++Result.Count;
			Preset.Settings->MarkPendingKill();
		}
	}
	if (!Error.empty())
	{
		Result = {500, Error};
	}
	Remember(Result, "saved to");
	return Result;
}

FHostPresets::FResult FHostPresets::Load()
{
	FResult Result;
	if (Path.empty())
	{
		Result = {409, "the host was started without --preset FILE"};
		return Result;
	}
	FHostPresetFileContents Contents = ReadPresetFile(Path);
	if (!Contents.bExists || !Contents.Error.empty())
	{
		Result = Contents.bExists ? FResult{400, Contents.Error} : FResult{404, "there is no preset file " + Path.string() + " yet"};
		std::fprintf(stderr, "orvida-livelink: preset not loaded: %s\n", Result.Error.c_str());
		Remember(Result, "");
		return Result;
	}
	if (!Sources.IsEmpty())
	{
		for (const FHostSource& Entry : Sources)
		{
			RemoveHostSource(Client, Entry);
		}
		Sources.Empty();
		// As the engine's preset does before it makes the sources again: the client lets go of those removed.
		Client.Tick();
	}
	Result.EntryErrors = std::move(Contents.EntryErrors);
	Restore(Contents.Presets, Result);
	for (FLiveLinkSourcePreset& Preset : Contents.Presets)
	{
		Preset.Settings->MarkPendingKill();
	}
	for (const std::string& Error : Result.EntryErrors)
	{
		std::fprintf(stderr, "orvida-livelink: %s\n", Error.c_str());
	}
	Remember(Result, "loaded from");
	return Result;
}

void FHostPresets::Restore(const TArray<FLiveLinkSourcePreset>& Presets, FResult& Result)
{
	for (const FLiveLinkSourcePreset& Preset : Presets)
	{
		if (!Client.CreateSource(Preset))
		{
			// The client has logged why (a guid it holds, a connection string the factory makes nothing of).
			Result.EntryErrors.push_back(Path.string() + ": source " + TCHAR_TO_UTF8(*Preset.Guid.ToString()) +
			                             " not restored: the client made no source of it");
			continue;
		}
		Sources.Add(FHostSource{Preset.Guid, TapHostSource(Client.GetSource(Preset.Guid), Tap)});
		++Result.Count;
	}
}

void FHostPresets::Remember(const FResult& Result, const char* Done)
{
	if (!Result.Error.empty())
	{
		LastOutcome = Result.Error;
		return;
	}
	LastOutcome = std::to_string(Result.Count) + (Result.Count == 1 ? " source " : " sources ") + Done + " " + Path.string();
	for (const std::string& Error : Result.EntryErrors)
	{
		LastOutcome += "; " + Error;
	}
}
