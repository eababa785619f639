#pragma once

#include "CoreMinimal.h"

class UClass;

/**
 * The process-wide list of reflected classes by script package. A library announces its classes while it loads
 * (the IMPLEMENT_CLASS_* macros) and takes them back while it unloads, so a host that unloads a plug-in never
 * finds its classes afterwards.
 *
 * Threads: any thread; one lock guards the list. A class pointer it hands out is valid only while the library
 * that declared the class stays loaded.
 */
class COREUOBJECT_API FUObjectRegistry
{
public:
	static FUObjectRegistry& Get();

	/** Announces the class under its package; a null class or one already announced is ignored. */
	void RegisterClass(UClass* Class);
	/** Takes the class back; a null or unknown class is ignored. */
	void UnregisterClass(UClass* Class);

	/** The class named ClassName (without its U prefix) in the package; null when there is none. */
	UClass* FindClass(const FString& PackageName, const FString& ClassName) const;
	/** Every announced class, in the order announced. */
	TArray<UClass*> GetClasses() const;
	/** Every package with at least one announced class. */
	TArray<FString> GetPackageNames() const;
	/** The announced classes that derive from Base, directly or (with bRecursive) through any number of steps; Base itself is not one. */
	void GetDerivedClasses(const UClass* Base, TArray<UClass*>& Results, bool bRecursive = true) const;

private:
	FUObjectRegistry() = default;

	struct FImpl;
	FImpl& GetImpl() const;
};

namespace UE::CoreUObject::Private
{
/** One per reflected class in its library's .cpp: registers the class while the library loads, unregisters it while it unloads. */
class COREUOBJECT_API FRegisterCompiledInClass
{
public:
	explicit FRegisterCompiledInClass(UClass* (*InStaticClass)());
	~FRegisterCompiledInClass();
	FRegisterCompiledInClass(const FRegisterCompiledInClass&) = delete;
	FRegisterCompiledInClass& operator=(const FRegisterCompiledInClass&) = delete;

private:
	UClass* Class;
};
} // namespace UE::CoreUObject::Private
