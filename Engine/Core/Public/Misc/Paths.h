#pragma once

#include "CoreTypes.h"
#include "Containers/UnrealString.h"

/**
 * The project's folders. The engine finds the project from its command line; the stand-in has no project file,
 * so the host (and a test) names the project folder with SetProjectDir, an addition of the stand-in. Until then
 * the project is the process's working directory.
 *
 * Threads: any thread; SetProjectDir is meant for start-up, before anything reads the configuration.
 */
class CORE_API FPaths
{
public:
	/** The project folder, always ending in '/'. */
	static FString ProjectDir();
	/** ProjectDir() + "Config/". */
	static FString ProjectConfigDir();
	/** Names the project folder; a missing trailing '/' is added, and an empty path means the working directory. */
	static void SetProjectDir(const FString& InProjectDir);
	/** Joins two path parts with exactly one '/' between them; an empty part leaves the other unchanged. */
	static FString Combine(const FString& A, const FString& B);
	/** True when a regular file exists at the path. */
	static bool FileExists(const FString& Filename);
};
