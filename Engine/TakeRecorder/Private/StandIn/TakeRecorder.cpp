#include "StandIn/TakeRecorder.h"

#include "Misc/ScopeLock.h"
#include "Recorder/TakeRecorderPanel.h"
#include "TakeFile.h"
#include "TakeFileFormat.h"
#include "TakeMetaData.h"
#include "TakeRecorderLog.h"
#include "TakeSlateCheck.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

namespace
{
std::atomic<FTakeRecorder*> GCurrentRecorder{nullptr};

FString DefaultTakesDirectory()
{
	std::error_code Error;
	const std::filesystem::path Current = std::filesystem::current_path(Error);
	// Without a current directory the relative path still means "under wherever the host runs".
	const std::filesystem::path Directory = (Error ? std::filesystem::path() : Current) / "Saved" / "Takes";
	return FString(UTF8_TO_TCHAR(Directory.string().c_str()));
}

/** The time now in UTC, as ISO 8601 text to the millisecond. */
FString FormatUtcNow()
{
	const std::chrono::system_clock::time_point Now = std::chrono::system_clock::now();
	const std::time_t Seconds = std::chrono::system_clock::to_time_t(Now);
	const int64 Milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(Now.time_since_epoch()).count() % 1000;
	std::tm Utc{};
	::gmtime_r(&Seconds, &Utc);
	char Text[40];
	const size_t Length = std::strftime(Text, sizeof(Text), "%Y-%m-%dT%H:%M:%S", &Utc);
	std::snprintf(Text + Length, sizeof(Text) - Length, ".%03dZ", int(Milliseconds));
	return FString(UTF8_TO_TCHAR(Text));
}

FTakeRecorder::FTakeError MakeTakeError(FTakeRecorder::ETakeOperation Operation, const FTakeFile::FError& Error)
{
	return FTakeRecorder::FTakeError{Operation, FString(UTF8_TO_TCHAR(Error.Message.c_str())), FString(UTF8_TO_TCHAR(Error.Path.c_str())), FormatUtcNow()};
}
} // namespace

FTakeRecorder::FTakeRecorder()
    : TakeMetaData(MakeShared<UTakeMetaData>())
    , ReviewedMetaData(MakeShared<UTakeMetaData>())
    , TakesDirectory(DefaultTakesDirectory())
{
	GCurrentRecorder.store(this);
}

FTakeRecorder::~FTakeRecorder()
{
	DetachFromClient();
	StopRecording();
	ClosePanel();
	FTakeRecorder* Expected = this;
	GCurrentRecorder.compare_exchange_strong(Expected, nullptr);
}

FTakeRecorder* FTakeRecorder::Get() { return GCurrentRecorder.load(); }

UTakeRecorderPanel* FTakeRecorder::OpenPanel(bool bWithMetaData)
{
	if (OpenedPanel != nullptr)
	{
		return OpenedPanel;
	}
	TSharedPtr<UTakeRecorderPanel> Panel = MakeShared<UTakeRecorderPanel>();
	Panel->Recorder = this;
	Panel->TakeMetaData = bWithMetaData ? TakeMetaData.Get() : nullptr;
	bPanelShowsMetaData = bWithMetaData;
	Panels.Add(Panel);
	OpenedPanel = Panel.Get();
	return OpenedPanel;
}

void FTakeRecorder::SetPanelMode(ETakeRecorderPanelMode Mode)
{
	if (OpenedPanel == nullptr)
	{
		return;
	}
	OpenedPanel->Mode = Mode;
	UTakeMetaData* Shown = TakeMetaData.Get();
	if (Mode == ETakeRecorderPanelMode::ReviewingRecording)
	{
		// The take under review is one already recorded: its metadata is that take's, and locked.
		ReviewedMetaData->Unlock();
		ReviewedMetaData->SetSlate(ActiveSlate, false);
		ReviewedMetaData->SetTakeNumber(ActiveTakeNumber, false);
		ReviewedMetaData->Lock();
		Shown = ReviewedMetaData.Get();
	}
	OpenedPanel->TakeMetaData = bPanelShowsMetaData ? Shown : nullptr;
}

void FTakeRecorder::ClosePanel()
{
	if (OpenedPanel == nullptr)
	{
		return;
	}
	StopRecording();
	OpenedPanel->Recorder = nullptr;
	OpenedPanel->TakeMetaData = nullptr;
	OpenedPanel = nullptr;
}

void FTakeRecorder::SetCountdownSeconds(float Seconds) { CountdownSeconds = std::isfinite(Seconds) && Seconds > 0.0f ? Seconds : 0.0f; }

void FTakeRecorder::SetTakesDirectory(const FString& Directory) { TakesDirectory = Directory.IsEmpty() ? DefaultTakesDirectory() : Directory; }

void FTakeRecorder::AttachToClient(FLiveLinkClient& Client)
{
	DetachFromClient();
	AttachedClient = &Client;
	FramePushedHandle = Client.RegisterForFramePushed(FOnLiveLinkFramePushed::FDelegate::CreateRaw(this, &FTakeRecorder::HandleFramePushed));
}

void FTakeRecorder::DetachFromClient()
{
	if (AttachedClient != nullptr)
	{
		AttachedClient->UnregisterForFramePushed(FramePushedHandle);
		AttachedClient = nullptr;
		FramePushedHandle.Reset();
	}
}

bool FTakeRecorder::CanStartRecording(FText& OutErrorText) const
{
	FString Fault;
	if (ActiveRecorder != nullptr)
	{
		Fault =
		    ActiveRecorder->GetState() == ETakeRecorderState::CountingDown ? TEXT("a take is already counting down") : TEXT("a take is already being recorded");
	}
	else if (OpenedPanel != nullptr && OpenedPanel->GetMode() == ETakeRecorderPanelMode::ReviewingRecording)
	{
		Fault = TEXT("the panel is reviewing a recorded take; go back to a new recording to record");
	}
	else if (!bSourcesEnabled)
	{
		Fault = TEXT("no Take Recorder source is enabled; add a source or enable one to record from");
	}
	else
	{
		Fault = TakeSlateCheck::FindFault(TakeMetaData->GetSlate());
	}
	if (Fault.IsEmpty())
	{
		return true;
	}
	OutErrorText = FText::FromString(TEXT("The take cannot start: ") + Fault + TEXT("."));
	return false;
}

bool FTakeRecorder::StartRecording()
{
	FText Refusal;
	if (!CanStartRecording(Refusal))
	{
		UE_LOG(LogTakeRecorder, Error, TEXT("%s"), *Refusal.ToString());
		return false;
	}
	TSharedPtr<UTakeRecorder> Take = MakeShared<UTakeRecorder>();
	Take->Recorder = this;
	Take->CountdownSeconds = CountdownSeconds;
	Take->State = ETakeRecorderState::CountingDown;
	Takes.Add(Take);
	ActiveRecorder = Take.Get();
	// The take is named when it is asked for, as the editor names its asset then.
	ActiveSlate = TakeMetaData->GetSlate();
	ActiveTakeNumber = TakeMetaData->GetTakeNumber();
	UE_LOG(LogTakeRecorder, Log, TEXT("Take %s #%d counts down %g s."), *ActiveSlate, ActiveTakeNumber, double(CountdownSeconds));
	return true;
}

void FTakeRecorder::Tick(float DeltaSeconds)
{
	if (ActiveRecorder == nullptr)
	{
		return;
	}
	if (ActiveRecorder->State == ETakeRecorderState::CountingDown)
	{
		const float Left = ActiveRecorder->CountdownSeconds - (std::isfinite(DeltaSeconds) && DeltaSeconds > 0.0f ? DeltaSeconds : 0.0f);
		ActiveRecorder->CountdownSeconds = Left > 0.0f ? Left : 0.0f;
		if (Left <= 0.0f)
		{
			BeginTake();
		}
	}
	else if (!IsRecording())
	{
		// A write error ended the take on the thread that pushed the frame.
		EndTake(ETakeRecorderState::Stopped);
	}
}

void FTakeRecorder::BeginTake()
{
	const std::string Directory = FTCHARToUTF8(*TakesDirectory).Get();
	FTakeFile::FError Error;
	{
		FScopeLock Guard(&FileLock);
		std::unique_ptr<FTakeFile> NewFile = std::make_unique<FTakeFile>();
		if (!NewFile->Open(Directory, FTakeFileFormat::MakeBaseName(ActiveSlate, ActiveTakeNumber), Error) ||
		    !NewFile->WriteRow(FTakeFileFormat::FormatHead(ActiveSlate, ActiveTakeNumber), Error))
		{
			LastError = MakeTakeError(ETakeOperation::Start, Error);
		}
		else
		{
			TakeFile = std::move(NewFile);
			TakeFilePath = FString(UTF8_TO_TCHAR(TakeFile->GetPath().c_str()));
			TakeFrameCount = 0;
			bRecording.store(true, std::memory_order_release);
		}
	}
	if (!Error.Message.empty())
	{
		UE_LOG(LogTakeRecorder, Error, TEXT("The take could not be recorded: %s."), UTF8_TO_TCHAR(Error.Message.c_str()));
		EndTake(ETakeRecorderState::Cancelled);
		return;
	}
	ActiveRecorder->State = ETakeRecorderState::Started;
	UE_LOG(LogTakeRecorder, Log, TEXT("Recording take '%s'."), *GetTakeFilePath());
}

void FTakeRecorder::EndTake(ETakeRecorderState State)
{
	const bool bRecorded = ActiveRecorder->State == ETakeRecorderState::Started;
	ActiveRecorder->State = State;
	ActiveRecorder->CountdownSeconds = 0.0f;
	ActiveRecorder->Recorder = nullptr;
	ActiveRecorder = nullptr;
	if (bRecorded && ActiveTakeNumber < INT_MAX)
	{
		TakeMetaData->SetTakeNumber(ActiveTakeNumber + 1);
	}
}

bool FTakeRecorder::StopRecording()
{
	if (ActiveRecorder != nullptr && ActiveRecorder->State == ETakeRecorderState::CountingDown)
	{
		EndTake(ETakeRecorderState::Cancelled);
		UE_LOG(LogTakeRecorder, Log, TEXT("Take %s #%d cancelled while counting down: nothing was recorded."), *ActiveSlate, ActiveTakeNumber);
		return false;
	}
	FTakeFile::FError Error;
	bool bKeptWhole = false;
	bool bHadFile = false;
	int32 FrameCount = 0;
	FString Path;
	{
		FScopeLock Guard(&FileLock);
		if (TakeFile != nullptr)
		{
			bHadFile = true;
			// Flushed under the lock, so that IsRecording never reads false while the last error is not yet set.
			bKeptWhole = TakeFile->Close(Error);
			TakeFile.reset();
			bRecording.store(false, std::memory_order_release);
			if (!bKeptWhole)
			{
				LastError = MakeTakeError(ETakeOperation::Stop, Error);
			}
			FrameCount = TakeFrameCount;
			Path = TakeFilePath;
		}
	}
	if (ActiveRecorder != nullptr)
	{
		EndTake(ETakeRecorderState::Stopped);
	}
	if (!bHadFile)
	{
		return false;
	}
	if (!bKeptWhole)
	{
		UE_LOG(LogTakeRecorder, Error, TEXT("Take '%s' may not be whole on disk: %s."), *Path, UTF8_TO_TCHAR(Error.Message.c_str()));
		return false;
	}
	UE_LOG(LogTakeRecorder, Log, TEXT("Take '%s' recorded: %d frames."), *Path, FrameCount);
	return true;
}

FTakeRecorder::FTakeError FTakeRecorder::GetLastTakeError() const
{
	FScopeLock Guard(&FileLock);
	return LastError;
}

FString FTakeRecorder::GetTakeFilePath() const
{
	FScopeLock Guard(&FileLock);
	return TakeFilePath;
}

int32 FTakeRecorder::GetTakeFrameCount() const
{
	FScopeLock Guard(&FileLock);
	return TakeFrameCount;
}

void FTakeRecorder::HandleFramePushed(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData)
{
	if (!bRecording.load(std::memory_order_acquire) || !FrameData.IsValid())
	{
		return;
	}
	const std::string Row = FTakeFileFormat::FormatRow(SubjectKey, FrameData);
	FTakeFile::FError Error;
	int32 FrameCount = 0;
	{
		FScopeLock Guard(&FileLock);
		// Checked again under the lock: the take may have stopped since.
		if (TakeFile == nullptr)
		{
			return;
		}
		if (TakeFile->WriteRow(Row, Error))
		{
			++TakeFrameCount;
			return;
		}
		// The whole rows before the error are worth keeping: they go to disk too, and a failure to do so is told.
		FTakeFile::FError CloseError;
		if (!TakeFile->Close(CloseError))
		{
			Error.Message += "; then " + CloseError.Message;
		}
		TakeFile.reset();
		bRecording.store(false, std::memory_order_release);
		LastError = MakeTakeError(ETakeOperation::Write, Error);
		FrameCount = TakeFrameCount;
	}
	UE_LOG(LogTakeRecorder, Error, TEXT("The take stopped recording after %d frames: %s."), FrameCount, UTF8_TO_TCHAR(Error.Message.c_str()));
}

FTakeRecorder::FScriptCallCounts FTakeRecorder::GetScriptCallCounts() const
{
	return FScriptCallCounts{PanelLookups.load(std::memory_order_relaxed),          RecordingQueries.load(std::memory_order_relaxed),
	                         ActiveRecorderQueries.load(std::memory_order_relaxed), StartChecks.load(std::memory_order_relaxed),
	                         StartRequests.load(std::memory_order_relaxed),         StopRequests.load(std::memory_order_relaxed)};
}
