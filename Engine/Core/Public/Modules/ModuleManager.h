// The module manager: finds a module by name, makes its module object and runs its start-up and shut-down.
//
// Loading a module named N:
//   1. A module already loaded is returned as it is.
//   2. A module linked into the program (see StandIn/StandInModules.h) is made from its entry.
//   3. Otherwise lib<N>.so in the module directory is opened (RTLD_NOW | RTLD_LOCAL) and its own exported
//      InitializeModule makes the module object.
//   4. StartupModule runs. Only then does the module take its place in the load order, so that modules it loads
//      during its own start-up count as loaded before it and are shut down after it.
//
// Threads: game thread only. Nothing here takes a lock; load, unload and look up modules from one thread.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Modules/ModuleInterface.h"
#include "UObject/NameTypes.h"

/** The entry every module exports (or registers) to make its module object; the caller owns the result. */
typedef IModuleInterface* (*FInitializeModuleFunctionPtr)();

class CORE_API FModuleManager
{
public:
	/** The one module manager of the process. */
	static FModuleManager& Get();

	/** The module's object, loading and starting it if needed; null with one Error line in LogModuleManager when it cannot be loaded. */
	IModuleInterface* LoadModule(const FName InModuleName);
	/** As LoadModule, but a module that cannot be loaded is a fatal error. */
	IModuleInterface& LoadModuleChecked(const FName InModuleName);
	template <class TModuleInterface> static TModuleInterface& LoadModuleChecked(const FName ModuleName)
	{
		return static_cast<TModuleInterface&>(Get().LoadModuleChecked(ModuleName));
	}

	/** Shuts the module down, deletes its object and closes its library; false when it was not loaded or is already being unloaded. */
	bool UnloadModule(const FName InModuleName);
	/** Unloads every module, the most recently loaded first, after giving each its PreUnloadCallback. */
	void UnloadModulesAtShutdown();

	bool IsModuleLoaded(const FName InModuleName) const;
	/** The loaded module's object, or null when it is not loaded. Never loads. */
	IModuleInterface* GetModule(const FName InModuleName) const;
	/** The loaded module's object as T, or null when it is not loaded. Never loads. */
	template <class TModuleInterface> static TModuleInterface* GetModulePtr(const FName ModuleName)
	{
		return static_cast<TModuleInterface*>(GetModulePtr_Internal(ModuleName));
	}
	static IModuleInterface* GetModulePtr_Internal(FName ModuleName);

private:
	friend struct FStandInModules;

	struct FModuleInfo
	{
		FName Name;
		IModuleInterface* Module = nullptr;
		/** The library's handle; null for a module linked into the program. */
		void* LibraryHandle = nullptr;
		/** Set when StartupModule has returned; a module still starting has no place in the load order yet. */
		int32 LoadOrder = INDEX_NONE;
		bool bUnloading = false;
	};

	FModuleManager();
	FModuleManager(const FModuleManager&) = delete;
	FModuleManager& operator=(const FModuleManager&) = delete;

	int32 FindModuleIndex(const FName InModuleName) const;
	void ReportLoadFailure(const FName InModuleName, const FString& Reason) const;

	/** Loaded modules, and those whose StartupModule is running. */
	TArray<FModuleInfo> Modules;
	TMap<FName, FInitializeModuleFunctionPtr> StaticModules;
	FString ModuleDirectory;
	int32 NextLoadOrder = 0;
};

/** Defines the module's exported entry, through which the module manager makes the module object from its library. */
#define IMPLEMENT_MODULE(ModuleImplClass, ModuleName)                                                                                                          \
	extern "C" DLLEXPORT IModuleInterface* InitializeModule() { return new ModuleImplClass(); }
