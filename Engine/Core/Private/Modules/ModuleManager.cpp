#include "Modules/ModuleManager.h"

#include "StandIn/StandInModules.h"

#include "Containers/StringConv.h"
#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <string>

DEFINE_LOG_CATEGORY_STATIC(LogModuleManager, Log, All)

namespace
{
FString LastDynamicLinkerError()
{
	const char* Error = dlerror();
	return FString(Error ? Error : "unknown error");
}

/**
 * dlsym on a handle also searches the libraries it depends on, and every module library exports an entry of the
 * same name; so a library without its own entry would hand back a dependency's. Keep only a symbol that lies in
 * the library itself.
 */
void* FindOwnSymbol(void* LibraryHandle, const char* SymbolName)
{
	dlerror();
	void* Symbol = dlsym(LibraryHandle, SymbolName);
	if (!Symbol)
	{
		return nullptr;
	}
	struct link_map* LibraryMap = nullptr;
	struct link_map* SymbolMap = nullptr;
	Dl_info SymbolInfo;
	if (dlinfo(LibraryHandle, RTLD_DI_LINKMAP, &LibraryMap) != 0 || dladdr1(Symbol, &SymbolInfo, reinterpret_cast<void**>(&SymbolMap), RTLD_DL_LINKMAP) == 0 ||
	    LibraryMap != SymbolMap)
	{
		return nullptr;
	}
	return Symbol;
}
} // namespace

FModuleManager& FModuleManager::Get()
{
	static FModuleManager Manager;
	return Manager;
}

FModuleManager::FModuleManager()
    : ModuleDirectory(FStandInModules::GetProgramDirectory())
{
}

IModuleInterface* FModuleManager::LoadModule(const FName InModuleName)
{
	if (InModuleName.IsNone())
	{
		ReportLoadFailure(InModuleName, FString("a module needs a name"));
		return nullptr;
	}
	const int32 ExistingIndex = FindModuleIndex(InModuleName);
	if (ExistingIndex != INDEX_NONE)
	{
		return Modules[ExistingIndex].Module;
	}

	void* LibraryHandle = nullptr;
	FInitializeModuleFunctionPtr InitializeModule = StaticModules.FindRef(InModuleName);
	if (!InitializeModule)
	{
		const FString LibraryPath = ModuleDirectory + FString("/lib") + InModuleName.ToString() + FString(".so");
		LibraryHandle = dlopen(TCHAR_TO_UTF8(*LibraryPath), RTLD_NOW | RTLD_LOCAL);
		if (!LibraryHandle)
		{
			ReportLoadFailure(InModuleName, LastDynamicLinkerError());
			return nullptr;
		}
		InitializeModule = reinterpret_cast<FInitializeModuleFunctionPtr>(FindOwnSymbol(LibraryHandle, "InitializeModule"));
		if (!InitializeModule)
		{
			const char* Error = dlerror();
			ReportLoadFailure(InModuleName, FString("the library ") + LibraryPath + FString(" exports no InitializeModule of its own") +
			                                    (Error ? FString(" (") + FString(Error) + FString(")") : FString()));
			dlclose(LibraryHandle);
			return nullptr;
		}
	}

	IModuleInterface* Module = InitializeModule();
	if (!Module)
	{
		ReportLoadFailure(InModuleName, FString("InitializeModule made no module object"));
		if (LibraryHandle)
		{
			dlclose(LibraryHandle);
		}
		return nullptr;
	}

	FModuleInfo Info;
	Info.Name = InModuleName;
	Info.Module = Module;
	Info.LibraryHandle = LibraryHandle;
	Modules.Add(Info);
	// StartupModule may load or unload other modules, so the entry is looked up again afterwards.
	Module->StartupModule();
	const int32 Index = FindModuleIndex(InModuleName);
	if (Index != INDEX_NONE && Modules[Index].Module == Module)
	{
		Modules[Index].LoadOrder = NextLoadOrder++;
	}
	return Module;
}

IModuleInterface& FModuleManager::LoadModuleChecked(const FName InModuleName)
{
	IModuleInterface* Module = LoadModule(InModuleName);
	checkf(Module, TEXT("Module %s could not be loaded"), *InModuleName.ToString());
	return *Module;
}

bool FModuleManager::UnloadModule(const FName InModuleName)
{
	const int32 Index = FindModuleIndex(InModuleName);
	if (Index == INDEX_NONE || Modules[Index].bUnloading)
	{
		return false;
	}
	Modules[Index].bUnloading = true;
	// Copied out: ShutdownModule may unload other modules and move the entries.
	IModuleInterface* const Module = Modules[Index].Module;
	void* const LibraryHandle = Modules[Index].LibraryHandle;
	Module->ShutdownModule();
	const int32 IndexAfterShutdown = FindModuleIndex(InModuleName);
	if (IndexAfterShutdown != INDEX_NONE)
	{
		Modules.RemoveAt(IndexAfterShutdown);
	}
	// The object's code lives in the library, so it must be gone before the library is.
	delete Module;
	if (LibraryHandle)
	{
		dlclose(LibraryHandle);
	}
	return true;
}

void FModuleManager::UnloadModulesAtShutdown()
{
	TArray<FModuleInfo> Ordered = Modules;
	// Modules still starting (no load order) are treated as the newest.
	auto OrderOf = [](const FModuleInfo& Info) { return Info.LoadOrder == INDEX_NONE ? 0x7fffffff : Info.LoadOrder; };
	for (int32 Outer = 1; Outer < Ordered.Num(); ++Outer)
	{
		for (int32 Inner = Outer; Inner > 0 && OrderOf(Ordered[Inner - 1]) < OrderOf(Ordered[Inner]); --Inner)
		{
			const FModuleInfo Swapped = Ordered[Inner];
			Ordered[Inner] = Ordered[Inner - 1];
			Ordered[Inner - 1] = Swapped;
		}
	}
	for (const FModuleInfo& Info : Ordered)
	{
		if (GetModule(Info.Name) == Info.Module)
		{
			Info.Module->PreUnloadCallback();
		}
	}
	for (const FModuleInfo& Info : Ordered)
	{
		if (GetModule(Info.Name) == Info.Module)
		{
			UnloadModule(Info.Name);
		}
	}
	// Whatever a shut-down loaded meanwhile goes too, newest first.
	while (!Modules.IsEmpty())
	{
		if (!UnloadModule(Modules.Last().Name))
		{
			break;
		}
	}
}

bool FModuleManager::IsModuleLoaded(const FName InModuleName) const { return FindModuleIndex(InModuleName) != INDEX_NONE; }

IModuleInterface* FModuleManager::GetModule(const FName InModuleName) const
{
	const int32 Index = FindModuleIndex(InModuleName);
	return Index == INDEX_NONE ? nullptr : Modules[Index].Module;
}

IModuleInterface* FModuleManager::GetModulePtr_Internal(FName ModuleName) { return Get().GetModule(ModuleName); }

int32 FModuleManager::FindModuleIndex(const FName InModuleName) const
{
	for (int32 Index = 0; Index < Modules.Num(); ++Index)
	{
		if (Modules[Index].Name == InModuleName)
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

void FModuleManager::ReportLoadFailure(const FName InModuleName, const FString& Reason) const
{
	UE_LOG(LogModuleManager, Error, TEXT("Unable to load module '%s': %s"), *InModuleName.ToString(), *Reason);
}
