// The engine's comparisons against its own version; both are strict, and the engine has no "at least".
#pragma once

#include "Runtime/Launch/Resources/Version.h"

#define UE_VERSION_NEWER_THAN(MajorVersion, MinorVersion, PatchVersion)                                                                                        \
	((ENGINE_MAJOR_VERSION > MajorVersion) ||                                                                                                                  \
	 (ENGINE_MAJOR_VERSION == MajorVersion &&                                                                                                                  \
	  (ENGINE_MINOR_VERSION > MinorVersion || (ENGINE_MINOR_VERSION == MinorVersion && ENGINE_PATCH_VERSION > PatchVersion))))

#define UE_VERSION_OLDER_THAN(MajorVersion, MinorVersion, PatchVersion)                                                                                        \
	((ENGINE_MAJOR_VERSION < MajorVersion) ||                                                                                                                  \
	 (ENGINE_MAJOR_VERSION == MajorVersion &&                                                                                                                  \
	  (ENGINE_MINOR_VERSION < MinorVersion || (ENGINE_MINOR_VERSION == MinorVersion && ENGINE_PATCH_VERSION < PatchVersion))))
