#include "UObject/Class.h"

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

UClass::UClass(const TCHAR* InCppName, UClass* InSuperClass, EClassFlags InClassFlags, FClassConstructor InClassConstructor)
	: UStruct(InCppName, InSuperClass)
	, ClassFlags(InClassConstructor == nullptr ? InClassFlags | CLASS_Abstract : InClassFlags)
	, ClassConstructor(InClassConstructor)
{
}
