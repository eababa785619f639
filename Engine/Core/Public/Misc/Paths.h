#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

/**
 * The project's folders. The engine finds the project from its command line; the stand-in has no project file,
 * so the host (and a test) names the project folder (StandIn/StandInPaths.h). Until then the project is the
 * process's working directory.
 *
 * Threads: any thread.
 */
class CORE_API FPaths
{
public:
	/** The project folder, always ending in '/'. */
	static FString ProjectDir();
	/** ProjectDir() + "Config/". */
	static FString ProjectConfigDir();
	/** Joins two path parts with exactly one '/' between them; an empty part leaves the other unchanged. */
	static FString Combine(const FString& A, const FString& B);
	/** True when a regular file exists at the path. */
	static bool FileExists(const FString& Filename);
};
