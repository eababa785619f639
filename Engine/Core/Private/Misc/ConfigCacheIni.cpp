#include "Misc/ConfigCacheIni.h"

#include "ConfigFileStorage.h"
#include "Containers/StringConv.h"

#include <filesystem>
#include <iterator>

DEFINE_LOG_CATEGORY(LogConfig)

namespace
{
FConfigCacheIni GConfigInstance;

std::filesystem::path ToPath(const std::u16string& Filename) { return std::filesystem::path(TCHAR_TO_UTF8(Filename.c_str())); }

FConfigFile ReadConfigFile(const std::u16string& Filename)
{
	FConfigFile File;
	std::string Bytes;
	FString Error;
	if (FConfigFileStorage::Read(ToPath(Filename), Bytes, Error))
	{
		File.ProcessInputFileBytes(Bytes);
	}
	else
	{
		UE_LOG(LogConfig, Error, TEXT("Could not read the configuration file %s: %s"), Filename.c_str(), *Error);
		File.MarkUnreadable(Error);
	}
	return File;
}
} // namespace

FConfigCacheIni* GConfig = &GConfigInstance;

void FConfigCacheIni::LoadFile(const FString& Filename)
{
	FConfigFile File = ReadConfigFile(Filename.GetStdString());
	std::lock_guard<std::mutex> Guard(Lock);
	Files[Filename.GetStdString()] = std::move(File);
}

void FConfigCacheIni::UnloadFile(const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	Files.erase(Filename.GetStdString());
}

FConfigFile& FConfigCacheIni::FindOrLoad(const FString& Filename)
{
	auto Found = Files.find(Filename.GetStdString());
	if (Found != Files.end())
	{
		return Found->second;
	}
	return Files.emplace(Filename.GetStdString(), ReadConfigFile(Filename.GetStdString())).first->second;
}

bool FConfigCacheIni::GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	return FindOrLoad(Filename).GetString(FString(Section), FString(Key), Value);
}

void FConfigCacheIni::SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	FindOrLoad(Filename).SetString(FString(Section), FString(Key), FString(Value));
}

bool FConfigCacheIni::DoesSectionExist(const TCHAR* Section, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	return FindOrLoad(Filename).DoesSectionExist(FString(Section));
}

bool FConfigCacheIni::WriteFile(const std::u16string& Filename, FConfigFile& File)
{
	std::string Bytes;
	FString Reason;
	if (!File.GenerateBytes(Bytes, Reason) || !FConfigFileStorage::Replace(ToPath(Filename), Bytes, Reason))
	{
		UE_LOG(LogConfig, Error, TEXT("Could not save the configuration file %s: %s"), Filename.c_str(), *Reason);
		return false;
	}
	File.ClearDirty();
	return true;
}

bool FConfigCacheIni::Flush(bool bRemoveFromCache, const FString& Filename)
{
	std::lock_guard<std::mutex> Guard(Lock);
	bool bAllWritten = true;
	for (auto It = Files.begin(); It != Files.end();)
	{
		if (!Filename.IsEmpty() && It->first != Filename.GetStdString())
		{
			++It;
			continue;
		}
		const bool bWritten = !It->second.IsDirty() || WriteFile(It->first, It->second);
		bAllWritten = bAllWritten && bWritten;
		// A file that could not be written stays cached, so its values are not lost with it.
		It = bRemoveFromCache && bWritten ? Files.erase(It) : std::next(It);
	}
	return bAllWritten;
}
