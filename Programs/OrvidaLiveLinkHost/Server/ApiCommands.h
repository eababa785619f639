#pragma once

#include "CoreMinimal.h"
#include "Editor/Panels.h"
#include "Editor/Source.h"
#include "OrvidaLiveLinkSource.h"
#include "Server/ApiRequest.h"
#include "Server/SettingsPage.h"

class FHostEditor;
class FHostLogBuffer;
class FHostPresets;
class FLiveLinkClient;
class FTakeRecorder;
struct FHostSnapshot;

/**
 * Does what the browser asks, as the editor's panels would: opens creation panels and passes the user's events
 * to their widgets, adds the source a panel's "Ok" made and removes sources, edits a source's settings as the
 * panel's details do, saves and loads the preset, drives the Take Recorder and saves the project settings; and adds to each snapshot what only the browser
 * shows (the factories, the open panel, the settings, the log).
 *
 * Threads: game thread only. Everything it is given must outlive it.
 */
class FHostApiCommands
{
public:
	/**
	 * The longest slate taken, in characters. A slate names take files and, in the editor, assets, whose paths the
	 * engine caps near this (5.x refuses paths over 260 characters); and every snapshot carries it.
	 */
	static constexpr size_t MaxSlateCharacters = 256;
	/** InTap, when set, is set on each source the panel makes (the host's capture) and cleared before it goes. */
	FHostApiCommands(FHostEditor& Editor, FLiveLinkClient& InClient, FTakeRecorder& InTakeRecorder, TArray<FHostSource>& InSources, FHostPresets& InPresets,
	                 const FHostLogBuffer& InLog, FOrvidaLiveLinkSource::FDatagramTap InTap);

	/** Runs one request; a request the engine refuses, or that names nothing known, is answered 4xx with why. */
	FHostApiReply Execute(const FHostApiRequest& Request);

	/** Adds the factories, the open panel, the settings, the preset and the log lines to Snapshot. */
	void Fill(FHostSnapshot& Snapshot) const;

private:
	FHostApiReply OpenPanel(const nlohmann::json& Body);
	FHostApiReply ApplyPanelEvent(const std::string& PanelId, const nlohmann::json& Body);
	FHostApiReply RemoveSource(const std::string& Guid);
	/** Enables or disables a subject of the source, as the subject's check box in the editor's Live Link panel does. */
	FHostApiReply EnableSubject(const std::string& Guid, const nlohmann::json& Body);
	FHostApiReply SetTakeMetaData(const nlohmann::json& Body);
	/** The host's source with this guid text; null when it lists none. */
	const FHostSource* FindSource(const std::string& Guid) const;
	/** Hands a source the panel made to the client and lists it, also one that cannot receive: that one shows its status until removed. */
	FHostApiReply AddSource(const FHostCreatedSource& Created);

	FLiveLinkClient& Client;
	FTakeRecorder& TakeRecorder;
	TArray<FHostSource>& Sources;
	FHostPresets& Presets;
	const FHostLogBuffer& Log;
	FOrvidaLiveLinkSource::FDatagramTap Tap;
	FHostPanels Panels;
	FHostSettingsPage Settings;
};
