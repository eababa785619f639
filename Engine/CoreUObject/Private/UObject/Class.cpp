#include "UObject/Class.h"

#include "UObject/GeneratedCppIncludes.h"

namespace
{
/** The engine names a reflected type without the letter that marks its kind in C++. */
FString WithoutTypePrefix(const TCHAR* CppName)
{
	if (CppName == nullptr)
	{
		return FString();
	}
	const bool bHasPrefix = (CppName[0] == TEXT('F') || CppName[0] == TEXT('U') || CppName[0] == TEXT('A')) && CppName[1] != 0;
	return FString(bHasPrefix ? CppName + 1 : CppName);
}
} // namespace

UField::UField(const TCHAR* InCppName)
    : Name(WithoutTypePrefix(InCppName))
{
}

UField::~UField() = default;

UStruct::UStruct(const TCHAR* InCppName, UStruct* InSuperStruct)
    : UField(InCppName)
    , SuperStruct(InSuperStruct)
{
}

bool UStruct::IsChildOf(const UStruct* SomeBase) const
{
	for (const UStruct* Struct = this; Struct != nullptr; Struct = Struct->GetSuperStruct())
	{
		if (Struct == SomeBase)
		{
			return true;
		}
	}
	return false;
}

UScriptStruct::ICppStructOps::~ICppStructOps() = default;

UScriptStruct::UScriptStruct(const TCHAR* InCppName, UScriptStruct* InSuperStruct, ICppStructOps* InCppStructOps)
    : UStruct(InCppName, InSuperStruct)
    , CppStructOps(InCppStructOps)
{
	check(CppStructOps != nullptr);
}

UScriptStruct::~UScriptStruct() = default;

void UScriptStruct::InitializeStruct(void* Dest, int32 ArrayDim) const
{
	if (Dest == nullptr)
	{
		return;
	}
	const int32 Size = GetStructureSize();
	for (int32 Index = 0; Index < ArrayDim; ++Index)
	{
		CppStructOps->Construct(static_cast<uint8*>(Dest) + SSIZE_T(Index) * Size);
	}
}

void UScriptStruct::DestroyStruct(void* Dest, int32 ArrayDim) const
{
	if (Dest == nullptr)
	{
		return;
	}
	const int32 Size = GetStructureSize();
	for (int32 Index = 0; Index < ArrayDim; ++Index)
	{
		CppStructOps->Destruct(static_cast<uint8*>(Dest) + SSIZE_T(Index) * Size);
	}
}

bool UScriptStruct::CopyScriptStruct(void* Dest, const void* Src, int32 ArrayDim) const
{
	if (Dest == nullptr || Src == nullptr || ArrayDim < 1)
	{
		return false;
	}
	const int32 Size = GetStructureSize();
	for (int32 Index = 0; Index < ArrayDim; ++Index)
	{
		// Only the first copy can refuse: the answer depends on the type alone.
		if (!CppStructOps->Copy(static_cast<uint8*>(Dest) + SSIZE_T(Index) * Size, static_cast<const uint8*>(Src) + SSIZE_T(Index) * Size))
		{
			return false;
		}
	}
	return true;
}

FProperty* UStruct::FindPropertyByName(const FName& InName) const
{
	for (TFieldIterator<FProperty> It(this); It; ++It)
	{
		if (It->GetFName() == InName)
		{
			return *It;
		}
	}
	return nullptr;
}

void UStruct::AddOwnedProperty(FProperty* Property)
{
	if (Property != nullptr)
	{
		PropertyStorage.emplace_back(Property);
		OwnProperties.Add(Property);
	}
}

UClass::UClass(const TCHAR* InCppName, UClass* InSuperClass, EClassFlags InClassFlags, FClassConstructor InClassConstructor, const TCHAR* InPackageName)
    : UStruct(InCppName, InSuperClass)
    , ClassFlags(InClassConstructor == nullptr ? InClassFlags | CLASS_Abstract : InClassFlags)
    , ClassConstructor(InClassConstructor)
    , PackageName(InPackageName)
{
	// The engine's config classes pass their config name and flags on to subclasses.
	if (InSuperClass != nullptr && InSuperClass->HasAnyClassFlags(CLASS_Config))
	{
		ClassFlags = ClassFlags | EClassFlags(InSuperClass->GetClassFlags() & (CLASS_Config | CLASS_DefaultConfig));
	}
}

UClass::~UClass() = default;

FString UClass::GetPathName() const { return PackageName + TEXT(".") + GetName(); }

FName UClass::GetConfigName() const
{
	for (const UClass* Class = this; Class != nullptr; Class = Class->GetSuperClass())
	{
		if (!Class->ConfigName.IsNone())
		{
			return Class->ConfigName;
		}
	}
	return NAME_None;
}

const FString& UClass::GetMetaData(const TCHAR* Key) const
{
	static const FString Empty;
	if (Key == nullptr)
	{
		return Empty;
	}
	const auto Found = MetaData.find(std::u16string(Key));
	return Found != MetaData.end() ? Found->second : Empty;
}

void UClass::SetConfig(const FName& InConfigName, EClassFlags InExtraFlags)
{
	ConfigName = InConfigName;
	ClassFlags = ClassFlags | InExtraFlags | CLASS_Config;
}

void UClass::SetMetaData(const TCHAR* Key, const FString& Value)
{
	if (Key != nullptr)
	{
		MetaData[std::u16string(Key)] = Value;
	}
}

UObject* UClass::GetDefaultObject(bool bCreateIfNeeded) const
{
	std::lock_guard<std::recursive_mutex> Guard(DefaultObjectLock);
	// A constructor or config load that asks for its own class's default object gets null rather than a second one.
	if (ClassDefaultObject != nullptr || !bCreateIfNeeded || ClassConstructor == nullptr || bMakingDefaultObject)
	{
		return ClassDefaultObject.get();
	}
	bMakingDefaultObject = true;
	std::unique_ptr<UObject> Made(ClassConstructor());
	if (HasAnyClassFlags(CLASS_Config))
	{
		Made->LoadConfig();
	}
	ClassDefaultObject = std::move(Made);
	bMakingDefaultObject = false;
	return ClassDefaultObject.get();
}

namespace UE::CoreUObject::Private
{
bool DescribeClass(UClass& Class, void (*Describe)(UE::CoreUObject::FClassBuilder&))
{
	FClassBuilder Builder(Class);
	Describe(Builder);
	return true;
}
} // namespace UE::CoreUObject::Private
