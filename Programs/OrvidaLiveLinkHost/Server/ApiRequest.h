#pragma once

#include <nlohmann/json.hpp>

#include <string>

/** A command of the web API for the game thread: plain values parsed by the web server, nothing of the engine. */
struct FHostApiRequest
{
	enum class ECommand
	{
		OpenPanel,
		PanelEvent,
		ClosePanel,
		RemoveSource,
		EnableSubject,
		SourceSettings,
		PresetSave,
		PresetLoad,
		TakePanel,
		TakeStart,
		TakeStop,
		TakeMetaData,
		Settings,
	};
	ECommand Command = ECommand::OpenPanel;
	/** The id in the path (a panel id, a source guid); empty when the path has none. */
	std::string PathId;
	/** The request's JSON body; null when it had none. */
	nlohmann::json Body;
};

/** The game thread's answer: an HTTP status and its JSON body ({"error": ...} for a refusal). */
struct FHostApiReply
{
	int Status = 200;
	nlohmann::json Body = nlohmann::json::object();

	static FHostApiReply Error(int InStatus, const std::string& Message) { return {InStatus, {{"error", Message}}}; }
};
