#include "Editor/TakeList.h"

#include "CoreMinimal.h"
#include "StandIn/TakeRecorder.h"

void FHostTakeList::Observe(const FTakeRecorder& TakeRecorder, std::chrono::steady_clock::time_point Now)
{
	const bool bRecording = TakeRecorder.IsRecording();
	const std::string Path = TCHAR_TO_UTF8(*TakeRecorder.GetTakeFilePath());
	if (!bScanned || bRecording != bWasRecording || Path != LastPath || Now - LastScan >= RescanInterval)
	{
		Folder.Scan(TCHAR_TO_UTF8(*TakeRecorder.GetTakesDirectory()), bRecording ? Path : std::string());
		LastScan = Now;
		bScanned = true;
		bWasRecording = bRecording;
		LastPath = Path;
	}
	Takes = Folder.GetTakes();
}
