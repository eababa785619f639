#include "Editor/TakeList.h"

#include "CoreMinimal.h"
#include "StandIn/TakeRecorder.h"

#include <filesystem>

void FHostTakeList::Observe(const FTakeRecorder& TakeRecorder, std::chrono::steady_clock::time_point Now)
{
	const bool bRecording = TakeRecorder.IsRecording();
	const std::string Path = TCHAR_TO_UTF8(*TakeRecorder.GetTakeFilePath());
	if (bRecording && Path != RecordingPath)
	{
		RecordingPath = Path;
		RecordingSince = Now;
	}
	if (bRecording || Path.empty() || Path == ListedPath)
	{
		return;
	}
	// A take that started and stopped between two ticks was never seen recording: its duration reads 0.
	FHostTakeFileSnapshot& Take = Takes.emplace_back();
	Take.Path = Path;
	Take.FileName = std::filesystem::path(Path).filename().string();
	Take.FrameCount = TakeRecorder.GetTakeFrameCount();
	Take.DurationSeconds = Path == RecordingPath ? std::chrono::duration<double>(Now - RecordingSince).count() : 0.0;
	std::error_code Error;
	const std::uintmax_t Size = std::filesystem::file_size(Path, Error);
	Take.SizeBytes = Error ? -1 : int64_t(Size);
	ListedPath = Path;
	RecordingPath.clear();
}
