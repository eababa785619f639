#pragma once

#include "CoreMinimal.h"
#include "LiveLinkTypes.h"

#include <string>

/**
 * What a take file is called and what it holds, as StandIn/TakeRecorder.h describes them: the name made from the
 * slate and take number, the slate line and header row that open the file, and one row per frame.
 *
 * Threads: any; it keeps nothing.
 */
class FTakeFileFormat
{
public:
	/** Slate_TakeNumber, with the slate cleaned and cut so that the name, with any suffix and ".csv", fits a file name. */
	static std::string MakeBaseName(const FString& Slate, int32 TakeNumber);
	/** The slate line, holding the whole slate, and the header row, each ending in its line break. */
	static std::string FormatHead(const FString& Slate, int32 TakeNumber);
	/** The row of one frame, ending in its line break; FrameData must be valid. */
	static std::string FormatRow(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData);
};
