// The module manager: finds a module by name, makes its module object and runs its start-up and shut-down.
//
// Loading a module named N:
//   1. A module already loaded is returned as it is.
//   2. A module registered with RegisterStaticModule (linked into the program) is made from its entry.
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
	template <class TModuleInterface>
	static TModuleInterface& LoadModuleChecked(const FName ModuleName)
	{
		return static_cast<TModuleInterface&>(Get().LoadModuleChecked(ModuleName));
	}

	/** Shuts the module down, deletes its object and closes its library; false when it was not loaded or is already being unloaded. */
	bool UnloadModule(const FName InModuleName);
	/** Unloads every module, the most recently loaded first, after giving each its PreUnloadCallback. */
	void ShutdownAll();

	bool IsModuleLoaded(const FName InModuleName) const;
	/** The loaded module's object, or null when it is not loaded. Never loads. */
	IModuleInterface* GetModule(const FName InModuleName) const;
	/** The loaded module's object as T, or null when it is not loaded. Never loads. */
	template <class TModuleInterface>
	static TModuleInterface* GetModulePtr(const FName ModuleName)
	{
		return static_cast<TModuleInterface*>(GetModulePtr_Internal(ModuleName));
	}
	static IModuleInterface* GetModulePtr_Internal(FName ModuleName);
	/** Names of the loaded modules in load order. */
	TArray<FName> GetLoadedModuleNames() const;

	/** Lets a module linked into the program be loaded by name; a later registration of the same name replaces the entry, a null entry removes it. */
	void RegisterStaticModule(const FName InModuleName, FInitializeModuleFunctionPtr InInitializeModule);

	/** Where lib<Name>.so files are looked for; an empty directory restores the default, the running program's directory. */
	void SetModuleDirectory(const FString& InDirectory);
	const FString& GetModuleDirectory() const { return ModuleDirectory; }
	/** The directory of the running program (from /proc/self/exe); empty when it cannot be read. */
	static FString GetProgramDirectory();

private:
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
#define IMPLEMENT_MODULE(ModuleImplClass, ModuleName) \
	extern "C" DLLEXPORT IModuleInterface* InitializeModule() \
	{ \
		return new ModuleImplClass(); \
	}

/** For a module linked into the program: registers its class under ModuleName when the program starts. */
#define IMPLEMENT_STATIC_MODULE(ModuleImplClass, ModuleName) \
	static IModuleInterface* InitializeStaticModule_##ModuleName() \
	{ \
		return new ModuleImplClass(); \
	} \
	static const struct FStaticModuleRegistrant_##ModuleName \
	{ \
		FStaticModuleRegistrant_##ModuleName() \
		{ \
			FModuleManager::Get().RegisterStaticModule(FName(#ModuleName), &InitializeStaticModule_##ModuleName); \
		} \
	} StaticModuleRegistrant_##ModuleName;
