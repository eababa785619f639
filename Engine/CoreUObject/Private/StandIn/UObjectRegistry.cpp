#include "StandIn/UObjectRegistry.h"

#include "UObject/Class.h"
#include "UObject/UObjectHash.h"

#include <algorithm>
#include <mutex>
#include <vector>

struct FUObjectRegistry::FImpl
{
	/** Protects Classes. */
	mutable std::mutex Lock;
	std::vector<UClass*> Classes;
};

FUObjectRegistry& FUObjectRegistry::Get()
{
	static FUObjectRegistry Registry;
	return Registry;
}

FUObjectRegistry::FImpl& FUObjectRegistry::GetImpl() const
{
	// Made with the registry's first use and never destroyed, so a library unloading late in process exit can still unregister.
	static FImpl* Impl = new FImpl();
	return *Impl;
}

void FUObjectRegistry::RegisterClass(UClass* Class)
{
	if (Class == nullptr)
	{
		return;
	}
	FImpl& Impl = GetImpl();
	std::lock_guard<std::mutex> Guard(Impl.Lock);
	if (std::find(Impl.Classes.begin(), Impl.Classes.end(), Class) == Impl.Classes.end())
	{
		Impl.Classes.push_back(Class);
	}
}

void FUObjectRegistry::UnregisterClass(UClass* Class)
{
	FImpl& Impl = GetImpl();
	std::lock_guard<std::mutex> Guard(Impl.Lock);
	Impl.Classes.erase(std::remove(Impl.Classes.begin(), Impl.Classes.end(), Class), Impl.Classes.end());
}

UClass* FUObjectRegistry::FindClass(const FString& PackageName, const FString& ClassName) const
{
	const FName Name(ClassName, FNAME_Find);
	FImpl& Impl = GetImpl();
	std::lock_guard<std::mutex> Guard(Impl.Lock);
	for (UClass* Class : Impl.Classes)
	{
		if (!Name.IsNone() && Class->GetFName() == Name && Class->GetPackageName() == PackageName)
		{
			return Class;
		}
	}
	return nullptr;
}

TArray<UClass*> FUObjectRegistry::GetClasses() const
{
	FImpl& Impl = GetImpl();
	std::lock_guard<std::mutex> Guard(Impl.Lock);
	TArray<UClass*> Result;
	for (UClass* Class : Impl.Classes)
	{
		Result.Add(Class);
	}
	return Result;
}

TArray<FString> FUObjectRegistry::GetPackageNames() const
{
	TArray<FString> Result;
	for (UClass* Class : GetClasses())
	{
		if (Result.Find(Class->GetPackageName()) == INDEX_NONE)
		{
			Result.Add(Class->GetPackageName());
		}
	}
	return Result;
}

void FUObjectRegistry::GetDerivedClasses(const UClass* Base, TArray<UClass*>& Results, bool bRecursive) const
{
	if (Base == nullptr)
	{
		return;
	}
	for (UClass* Class : GetClasses())
	{
		const bool bDerived = Class != Base && (bRecursive ? Class->IsChildOf(Base) : Class->GetSuperClass() == Base);
		if (bDerived)
		{
			Results.Add(Class);
		}
	}
}

void GetDerivedClasses(const UClass* ClassToLookFor, TArray<UClass*>& Results, bool bRecursive)
{
	FUObjectRegistry::Get().GetDerivedClasses(ClassToLookFor, Results, bRecursive);
}

namespace UE::CoreUObject::Private
{
FRegisterCompiledInClass::FRegisterCompiledInClass(UClass* (*InStaticClass)())
    : Class(InStaticClass())
{
	FUObjectRegistry::Get().RegisterClass(Class);
}

FRegisterCompiledInClass::~FRegisterCompiledInClass() { FUObjectRegistry::Get().UnregisterClass(Class); }
} // namespace UE::CoreUObject::Private
