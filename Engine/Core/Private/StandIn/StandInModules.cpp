#include "StandIn/StandInModules.h"

#include "Containers/StringConv.h"

#include <unistd.h>

#include <string>

TArray<FName> FStandInModules::GetLoadedModuleNames()
{
	const FModuleManager& Manager = FModuleManager::Get();
	TArray<FName> Names;
	for (const FModuleManager::FModuleInfo& Info : Manager.Modules)
	{
		Names.Add(Info.Name);
	}
	return Names;
}

void FStandInModules::RegisterStaticModule(const FName InModuleName, FInitializeModuleFunctionPtr InInitializeModule)
{
	FModuleManager& Manager = FModuleManager::Get();
	if (InModuleName.IsNone())
	{
		return;
	}
	if (InInitializeModule)
	{
		Manager.StaticModules.Add(InModuleName, InInitializeModule);
	}
	else
	{
		Manager.StaticModules.Remove(InModuleName);
	}
}

void FStandInModules::SetModuleDirectory(const FString& InDirectory)
{
	FModuleManager::Get().ModuleDirectory = InDirectory.IsEmpty() ? GetProgramDirectory() : InDirectory;
}

const FString& FStandInModules::GetModuleDirectory() { return FModuleManager::Get().ModuleDirectory; }

FString FStandInModules::GetProgramDirectory()
{
	std::string Path(4096, '\0');
	const ssize_t Length = readlink("/proc/self/exe", Path.data(), Path.size());
	if (Length <= 0 || size_t(Length) >= Path.size())
	{
		return FString();
	}
	Path.resize(size_t(Length));
	const size_t LastSlash = Path.rfind('/');
	if (LastSlash == std::string::npos)
	{
		return FString();
	}
	// The root directory keeps its slash.
	Path.resize(LastSlash == 0 ? 1 : LastSlash);
	return FString(UTF8_TO_TCHAR(Path.c_str()));
}
