#include "Server/ApiCommands.h"

#include "Editor/Editor.h"
#include "Editor/HostText.h"
#include "Editor/LogBuffer.h"
#include "Editor/Presets.h"
#include "Editor/Snapshot.h"
#include "OrvidaLiveLinkSource.h"
#include "Server/ApiJson.h"
#include "Server/SourceSettingsEdit.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/TakeRecorder.h"
#include "TakeMetaData.h"

#include <algorithm>
#include <charconv>
#include <limits>

using nlohmann::json;

namespace
{
/** A whole decimal number of the type's range and nothing else; false for any other text. */
template <class T> bool ParseWhole(const std::string& Text, T& OutValue)
{
	const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), OutValue);
	return Error == std::errc() && End == Text.data() + Text.size() && !Text.empty();
}

std::string LastTakeError(const FTakeRecorder& TakeRecorder)
{
	const FTakeRecorder::FTakeError Error = TakeRecorder.GetLastTakeError();
	return Error.Operation == FTakeRecorder::ETakeOperation::None ? std::string() : ToUtf8(Error.Message);
}

/** A save's or a load's answer: its refusal, or the count and the entries of the file that made no source. */
FHostApiReply PresetReply(const FHostPresets::FResult& Result, const char* CountKey)
{
	if (!Result.Error.empty())
	{
		return FHostApiReply::Error(Result.Status, Result.Error);
	}
	return {200, {{CountKey, Result.Count}, {"errors", Result.EntryErrors}}};
}
} // namespace

FHostApiCommands::FHostApiCommands(FHostEditor& Editor, FLiveLinkClient& InClient, FTakeRecorder& InTakeRecorder, TArray<FHostSource>& InSources,
                                   FHostPresets& InPresets, const FHostLogBuffer& InLog, FOrvidaLiveLinkSource::FDatagramTap InTap)
    : Client(InClient)
    , TakeRecorder(InTakeRecorder)
    , Sources(InSources)
    , Presets(InPresets)
    , Log(InLog)
    , Tap(std::move(InTap))
    , Panels(Editor)
    , Settings(Editor.FindSettingsSection())
{
}

FHostApiReply FHostApiCommands::Execute(const FHostApiRequest& Request)
{
	using ECommand = FHostApiRequest::ECommand;
	switch (Request.Command)
	{
	case ECommand::OpenPanel:
		return OpenPanel(Request.Body);
	case ECommand::PanelEvent:
		return ApplyPanelEvent(Request.PathId, Request.Body);
	case ECommand::ClosePanel:
	{
		int64_t PanelId = 0;
		if (!ParseWhole(Request.PathId, PanelId) || !Panels.Close(PanelId))
		{
			return FHostApiReply::Error(404, "no panel " + Request.PathId + " is open");
		}
		return {};
	}
	case ECommand::RemoveSource:
		return RemoveSource(Request.PathId);
	case ECommand::EnableSubject:
		return EnableSubject(Request.PathId, Request.Body);
	case ECommand::SourceSettings:
	{
		const FHostSource* Source = FindSource(Request.PathId);
		return Source != nullptr ? EditSourceSettings(Client, Source->Guid, Request.Body) : FHostApiReply::Error(404, "no source " + Request.PathId);
	}
	case ECommand::PresetSave:
		return PresetReply(Presets.Save(), "saved");
	case ECommand::PresetLoad:
		return PresetReply(Presets.Load(), "restored");
	case ECommand::TakePanel:
		if (!Request.Body.is_object() || !Request.Body.contains("open") || !Request.Body["open"].is_boolean())
		{
			return FHostApiReply::Error(400, "the body must be {\"open\": true} or {\"open\": false}");
		}
		if (Request.Body["open"].get<bool>())
		{
			TakeRecorder.OpenPanel();
		}
		else
		{
			TakeRecorder.ClosePanel();
		}
		return {};
	case ECommand::TakeStart:
	{
		FText Refusal;
		if (!TakeRecorder.CanStartRecording(Refusal))
		{
			return FHostApiReply::Error(409, ToUtf8(Refusal.ToString()));
		}
		TakeRecorder.StartRecording();
		return {200, {{"countdownSeconds", TakeRecorder.GetCountdownSeconds()}}};
	}
	case ECommand::TakeStop:
		if (const UTakeRecorder* Active = TakeRecorder.GetActiveRecorder(); Active != nullptr && Active->GetState() == ETakeRecorderState::CountingDown)
		{
			TakeRecorder.StopRecording();
			return {200, {{"cancelled", true}}};
		}
		if (!TakeRecorder.StopRecording())
		{
			const std::string Error = LastTakeError(TakeRecorder);
			return Error.empty() ? FHostApiReply::Error(409, "no take is being recorded") : FHostApiReply::Error(500, "the take was not kept whole: " + Error);
		}
		return {200, {{"file", ToUtf8(TakeRecorder.GetTakeFilePath())}, {"frames", TakeRecorder.GetTakeFrameCount()}}};
	case ECommand::TakeMetaData:
		return SetTakeMetaData(Request.Body);
	case ECommand::Settings:
	{
		const FHostSettingsPage::FResult Result = Settings.Apply(Request.Body);
		return Result.Error.empty() ? FHostApiReply{} : FHostApiReply::Error(Result.Status, Result.Error);
	}
	}
	return FHostApiReply::Error(400, "unknown command");
}

FHostApiReply FHostApiCommands::OpenPanel(const json& Body)
{
	if (!Body.is_object() || !Body.contains("factory") || !Body["factory"].is_string())
	{
		return FHostApiReply::Error(400, "the body must be {\"factory\": NAME}");
	}
	const std::variant<int64_t, std::string> Opened = Panels.Open(Body["factory"].get<std::string>());
	if (const std::string* Error = std::get_if<std::string>(&Opened))
	{
		return FHostApiReply::Error(404, *Error);
	}
	return {201, {{"panel", std::get<int64_t>(Opened)}}};
}

FHostApiReply FHostApiCommands::ApplyPanelEvent(const std::string& PanelIdText, const json& Body)
{
	int64_t PanelId = 0;
	if (!ParseWhole(PanelIdText, PanelId))
	{
		return FHostApiReply::Error(404, "no panel " + PanelIdText + " is open");
	}
	if (!Body.is_object() || !Body.contains("widget") || !Body["widget"].is_number_unsigned() || !Body.contains("event") || !Body["event"].is_string())
	{
		return FHostApiReply::Error(400, "the body must be {\"widget\": ID, \"event\": NAME, \"value\": ...}");
	}
	const json Value = Body.contains("value") ? Body["value"] : json();
	const FHostPanels::FEventResult Result = Panels.ApplyEvent(PanelId, Body["widget"].get<uint64_t>(), Body["event"].get<std::string>(), Value);
	if (!Result.Error.empty())
	{
		return FHostApiReply::Error(Result.Status, Result.Error);
	}
	if (Result.Created.Source.IsValid())
	{
		return AddSource(Result.Created);
	}
	const std::optional<FHostPanelSnapshot> Panel = Panels.Describe();
	return {200, {{"panel", Panel ? FHostApiJson::FromPanel(*Panel) : json()}}};
}

FHostApiReply FHostApiCommands::AddSource(const FHostCreatedSource& Created)
{
	const TSharedPtr<FOrvidaLiveLinkSource> Source = TapHostSource(Created.Source, Tap);
	// A source that cannot receive is kept too: the editor lists it with its status until the user removes it.
	const FGuid Guid = AddCreatedSource(Client, Created);
	Sources.Add(FHostSource{Guid, Source});
	return {201, {{"source", ToUtf8(Guid.ToString())}}};
}

FHostApiReply FHostApiCommands::RemoveSource(const std::string& Guid)
{
	for (int32 Index = 0; Index < Sources.Num(); ++Index)
	{
		if (ToUtf8(Sources[Index].Guid.ToString()) == Guid)
		{
			RemoveHostSource(Client, Sources[Index]);
			Sources.RemoveAt(Index);
			return {};
		}
	}
	return FHostApiReply::Error(404, "no source " + Guid);
}

const FHostSource* FHostApiCommands::FindSource(const std::string& Guid) const
{
	for (const FHostSource& Entry : Sources)
	{
		if (ToUtf8(Entry.Guid.ToString()) == Guid)
		{
			return &Entry;
		}
	}
	return nullptr;
}

FHostApiReply FHostApiCommands::EnableSubject(const std::string& Guid, const json& Body)
{
	if (!Body.is_object() || !Body.contains("name") || !Body["name"].is_string() || !Body.contains("enabled") || !Body["enabled"].is_boolean())
	{
		return FHostApiReply::Error(400, "the body must be {\"name\": SUBJECT, \"enabled\": BOOL}");
	}
	const std::string Name = Body["name"].get<std::string>();
	for (const FLiveLinkSubjectKey& Key : Client.GetSubjects())
	{
		if (ToUtf8(Key.Source.ToString()) == Guid && ToUtf8(Key.SubjectName.ToString()) == Name)
		{
			// Enabling one disables the others of its name: the client enables one subject of a name.
			Client.SetSubjectEnabled(Key, Body["enabled"].get<bool>());
			return {};
		}
	}
	return FHostApiReply::Error(404, "no subject \"" + Name + "\" of a source " + Guid);
}

FHostApiReply FHostApiCommands::SetTakeMetaData(const json& Body)
{
	UTakeMetaData* MetaData = TakeRecorder.GetTakeMetaData();
	const bool bSlate = Body.is_object() && Body.contains("slate");
	const bool bTake = Body.is_object() && Body.contains("take");
	if (!bSlate && !bTake)
	{
		return FHostApiReply::Error(400, "the body must be {\"slate\": TEXT, \"take\": NUMBER} (either or both)");
	}
	if ((bSlate && !Body["slate"].is_string()) || (bTake && !Body["take"].is_number_integer()))
	{
		return FHostApiReply::Error(400, "the slate is a text and the take a whole number");
	}
	const std::string Slate = bSlate ? Body["slate"].get<std::string>() : std::string();
	// The engine's strings end at a NUL, so the rest would be dropped without a word.
	if (Slate.find('\0') != std::string::npos)
	{
		return FHostApiReply::Error(400, "the slate holds a NUL character");
	}
	const size_t Characters = size_t(std::count_if(Slate.begin(), Slate.end(), [](char Byte) { return (Byte & 0xC0) != 0x80; }));
	if (Characters > MaxSlateCharacters)
	{
		return FHostApiReply::Error(400, "the slate has " + std::to_string(Characters) + " characters; at most " + std::to_string(MaxSlateCharacters) +
		                                     " are taken");
	}
	const int64_t Take = bTake ? Body["take"].get<int64_t>() : 1;
	if (Take < 1 || Take > std::numeric_limits<int32>::max())
	{
		return FHostApiReply::Error(400, "the take number runs from 1 to 2147483647");
	}
	if (bSlate)
	{
		MetaData->SetSlate(UTF8_TO_TCHAR(Slate.c_str()));
	}
	if (bTake)
	{
		MetaData->SetTakeNumber(int32(Take));
	}
	return {200, {{"slate", ToUtf8(MetaData->GetSlate())}, {"take", MetaData->GetTakeNumber()}}};
}

void FHostApiCommands::Fill(FHostSnapshot& Snapshot) const
{
	Snapshot.Factories = Panels.GetFactories();
	Snapshot.Panel = Panels.Describe();
	Snapshot.Settings = Settings.Describe();
	Snapshot.Preset = FHostPresetSnapshot{Presets.GetPath().string(), Presets.GetLastOutcome()};
	Snapshot.Log = Log.Copy();
}
