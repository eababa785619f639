#include "Misc/Paths.h"

#include "StandIn/StandInPaths.h"

#include "Containers/StringConv.h"

#include <filesystem>
#include <mutex>

namespace
{
/** Protects ProjectDirOverride: the host may set it while a helper thread reads a path. */
std::mutex GProjectDirLock;
FString GProjectDirOverride;

FString WithTrailingSlash(FString Path)
{
	if (!Path.IsEmpty() && Path[Path.Len() - 1] != TEXT('/'))
	{
		Path.AppendChar(TEXT('/'));
	}
	return Path;
}
} // namespace

FString FPaths::ProjectDir()
{
	{
		std::lock_guard<std::mutex> Guard(GProjectDirLock);
		if (!GProjectDirOverride.IsEmpty())
		{
			return GProjectDirOverride;
		}
	}
	std::error_code Error;
	const std::filesystem::path Current = std::filesystem::current_path(Error);
	return WithTrailingSlash(Error ? FString(TEXT("./")) : FString(UTF8_TO_TCHAR(Current.string().c_str())));
}

FString FPaths::ProjectConfigDir() { return ProjectDir() + TEXT("Config/"); }

void FStandInPaths::SetProjectDir(const FString& InProjectDir)
{
	std::lock_guard<std::mutex> Guard(GProjectDirLock);
	GProjectDirOverride = WithTrailingSlash(InProjectDir);
}

FString FPaths::Combine(const FString& A, const FString& B)
{
	if (A.IsEmpty())
	{
		return B;
	}
	if (B.IsEmpty())
	{
		return A;
	}
	const bool bASlash = A[A.Len() - 1] == TEXT('/');
	const bool bBSlash = B[0] == TEXT('/');
	if (bASlash && bBSlash)
	{
		return A + B.Mid(1);
	}
	return bASlash || bBSlash ? A + B : A + TEXT("/") + B;
}

bool FPaths::FileExists(const FString& Filename)
{
	std::error_code Error;
	return std::filesystem::is_regular_file(std::filesystem::path(TCHAR_TO_UTF8(*Filename)), Error);
}
