#include "StandIn/TakeRecorder.h"

#include "Misc/ScopeLock.h"
#include "Recorder/TakeRecorderPanel.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformTypes.h"
#include "TakeFile.h"
#include "TakeMetaData.h"
#include "TakeRecorderLog.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace
{
std::atomic<FTakeRecorder*> GCurrentRecorder{nullptr};

const char* const TakeFileHeader = "Subject,WorldTime,FrameNumber,SubFrame,RateNumerator,RateDenominator,"
								   "LocationX,LocationY,LocationZ,RotationX,RotationY,RotationZ,RotationW,ScaleX,ScaleY,ScaleZ,"
								   "FieldOfView,AspectRatio,FocalLength,Aperture,FocusDistance\n";

FString DefaultTakesDirectory()
{
	std::error_code Error;
	const std::filesystem::path Current = std::filesystem::current_path(Error);
	// Without a current directory the relative path still means "under wherever the host runs".
	const std::filesystem::path Directory = (Error ? std::filesystem::path() : Current) / "Saved" / "Takes";
	return FString(UTF8_TO_TCHAR(Directory.string().c_str()));
}

/** ASCII letters, digits, '-' and '_' are kept; anything else would be a path separator or worse on some system. */
std::string SanitizeSlate(const FString& Slate)
{
	if (Slate.IsEmpty())
	{
		return "Take";
	}
	std::string Result;
	Result.reserve(size_t(Slate.Len()));
	for (int32 Index = 0; Index < Slate.Len(); ++Index)
	{
		const TCHAR Char = Slate[Index];
		const bool bKeep = (Char >= 'A' && Char <= 'Z') || (Char >= 'a' && Char <= 'z') || (Char >= '0' && Char <= '9') || Char == '-' || Char == '_';
		Result.push_back(bKeep ? char(Char) : '_');
	}
	return Result;
}

std::string MakeTakeBaseName(const FString& Slate, int32 TakeNumber)
{
	char Number[16];
	std::snprintf(Number, sizeof(Number), "%03d", TakeNumber);
	return SanitizeSlate(Slate) + "_" + Number;
}

template <typename NumberType>
void AppendNumber(std::string& Row, NumberType Value)
{
	// to_chars gives the shortest text that reads back to the same value, whatever the process locale.
	char Text[32];
	const std::to_chars_result Result = std::to_chars(Text, Text + sizeof(Text), Value);
	Row.append(Text, Result.ptr);
}

void AppendField(std::string& Row, const std::string& Text)
{
	if (Text.find_first_of(",\"\r\n") == std::string::npos)
	{
		Row += Text;
		return;
	}
	Row += '"';
	for (const char Char : Text)
	{
		if (Char == '"')
		{
			Row += '"';
		}
		Row += Char;
	}
	Row += '"';
}

std::string FormatRow(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData)
{
	std::string Row;
	Row.reserve(256);
	AppendField(Row, FTCHARToUTF8(*SubjectKey.SubjectName.ToString()).Get());

	const FLiveLinkBaseFrameData* Base = FrameData.GetBaseData();
	const FQualifiedFrameTime& SceneTime = Base->MetaData.SceneTime;
	Row += ',';
	AppendNumber(Row, Base->WorldTime.GetOffsettedTime());
	Row += ',';
	AppendNumber(Row, SceneTime.Time.FrameNumber.Value);
	Row += ',';
	AppendNumber(Row, SceneTime.Time.GetSubFrame());
	Row += ',';
	AppendNumber(Row, SceneTime.Rate.Numerator);
	Row += ',';
	AppendNumber(Row, SceneTime.Rate.Denominator);

	if (const FLiveLinkTransformFrameData* Transform = FrameData.Cast<FLiveLinkTransformFrameData>())
	{
		const FVector& Location = Transform->Transform.GetTranslation();
		const FQuat& Rotation = Transform->Transform.GetRotation();
		const FVector& Scale = Transform->Transform.GetScale3D();
		for (const float Value : {Location.X, Location.Y, Location.Z, Rotation.X, Rotation.Y, Rotation.Z, Rotation.W, Scale.X, Scale.Y, Scale.Z})
		{
			Row += ',';
			AppendNumber(Row, Value);
		}
	}
	else
	{
		Row += ",,,,,,,,,,";
	}

	if (const FLiveLinkCameraFrameData* Camera = FrameData.Cast<FLiveLinkCameraFrameData>())
	{
		for (const float Value : {Camera->FieldOfView, Camera->AspectRatio, Camera->FocalLength, Camera->Aperture, Camera->FocusDistance})
		{
			Row += ',';
			AppendNumber(Row, Value);
		}
	}
	else
	{
		Row += ",,,,,";
	}
	Row += '\n';
	return Row;
}
} // namespace

FTakeRecorder::FTakeRecorder()
	: TakeMetaData(MakeShared<UTakeMetaData>())
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

FTakeRecorder* FTakeRecorder::Get()
{
	return GCurrentRecorder.load();
}

UTakeRecorderPanel* FTakeRecorder::OpenPanel(bool bWithMetaData)
{
	if (OpenedPanel != nullptr)
	{
		return OpenedPanel;
	}
	TSharedPtr<UTakeRecorderPanel> Panel = MakeShared<UTakeRecorderPanel>();
	Panel->Recorder = this;
	Panel->TakeMetaData = bWithMetaData ? TakeMetaData.Get() : nullptr;
	Panels.Add(Panel);
	OpenedPanel = Panel.Get();
	return OpenedPanel;
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

void FTakeRecorder::SetTakesDirectory(const FString& Directory)
{
	TakesDirectory = Directory.IsEmpty() ? DefaultTakesDirectory() : Directory;
}

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

bool FTakeRecorder::StartRecording()
{
	const std::string Directory = FTCHARToUTF8(*TakesDirectory).Get();
	const std::string BaseName = MakeTakeBaseName(TakeMetaData->GetSlate(), TakeMetaData->GetTakeNumber());
	std::string Error;
	{
		FScopeLock Guard(&FileLock);
		if (TakeFile != nullptr)
		{
			return false;
		}
		std::unique_ptr<FTakeFile> NewFile = std::make_unique<FTakeFile>();
		if (NewFile->Open(Directory, BaseName, Error) && NewFile->WriteRow(TakeFileHeader, Error))
		{
			TakeFile = std::move(NewFile);
			TakeFilePath = FString(UTF8_TO_TCHAR(TakeFile->GetPath().c_str()));
			TakeFrameCount = 0;
			bRecording.store(true, std::memory_order_release);
		}
	}
	if (!Error.empty())
	{
		UE_LOG(LogTakeRecorder, Error, TEXT("The take could not be recorded: %s."), UTF8_TO_TCHAR(Error.c_str()));
		return false;
	}
	UE_LOG(LogTakeRecorder, Log, TEXT("Recording take '%s'."), *GetTakeFilePath());
	return true;
}

void FTakeRecorder::StopRecording()
{
	int32 FrameCount = 0;
	FString Path;
	{
		FScopeLock Guard(&FileLock);
		if (TakeFile == nullptr)
		{
			return;
		}
		TakeFile.reset();
		bRecording.store(false, std::memory_order_release);
		FrameCount = TakeFrameCount;
		Path = TakeFilePath;
	}
	UE_LOG(LogTakeRecorder, Log, TEXT("Take '%s' recorded: %d frames."), *Path, FrameCount);
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
	const std::string Row = FormatRow(SubjectKey, FrameData);
	std::string Error;
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
		TakeFile.reset();
		bRecording.store(false, std::memory_order_release);
		FrameCount = TakeFrameCount;
	}
	UE_LOG(LogTakeRecorder, Error, TEXT("The take stopped recording after %d frames: %s."), FrameCount, UTF8_TO_TCHAR(Error.c_str()));
}

FTakeRecorder::FScriptCallCounts FTakeRecorder::GetScriptCallCounts() const
{
	return FScriptCallCounts{PanelLookups.load(std::memory_order_relaxed), RecordingQueries.load(std::memory_order_relaxed),
		StartRequests.load(std::memory_order_relaxed), StopRequests.load(std::memory_order_relaxed)};
}
