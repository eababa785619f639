// What the host and the tests need of the module manager and the engine's does not offer: where module
// libraries are looked for, modules linked into a program by name, and the names of what is loaded. The engine
// finds its modules from the project's and plug-ins' descriptors instead.
//
// Threads: game thread only, like the module manager.
#pragma once

#include "Modules/ModuleManager.h"

struct CORE_API FStandInModules
{
	/** Where lib<Name>.so files are looked for; an empty directory restores the default, the running program's directory. */
	static void SetModuleDirectory(const FString& InDirectory);
	static const FString& GetModuleDirectory();
	/** The directory of the running program (from /proc/self/exe); empty when it cannot be read. */
	static FString GetProgramDirectory();
	/** Lets a module linked into the program be loaded by name; a later registration of the same name replaces the entry, a null entry removes it. */
	static void RegisterStaticModule(const FName InModuleName, FInitializeModuleFunctionPtr InInitializeModule);
	/** Names of the loaded modules in load order. */
	static TArray<FName> GetLoadedModuleNames();
};

/** For a module linked into the program: registers its class under ModuleName when the program starts. */
#define IMPLEMENT_STATIC_MODULE(ModuleImplClass, ModuleName)                                                                                                   \
	static IModuleInterface* InitializeStaticModule_##ModuleName() { return new ModuleImplClass(); }                                                           \
	static const struct FStaticModuleRegistrant_##ModuleName                                                                                                   \
	{                                                                                                                                                          \
		FStaticModuleRegistrant_##ModuleName() { FStandInModules::RegisterStaticModule(FName(#ModuleName), &InitializeStaticModule_##ModuleName); }            \
	} StaticModuleRegistrant_##ModuleName;
