// The project folder, which the host and the tests name: the engine finds its project from the command line and
// the project file, neither of which the stand-in has.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

struct CORE_API FStandInPaths
{
	/**
	 * Names the project folder that FPaths::ProjectDir reports; a missing trailing '/' is added, and an empty path
	 * means the working directory. Meant for start-up, before anything reads the configuration; any thread.
	 */
	static void SetProjectDir(const FString& InProjectDir);
};
