#include "UObject/Object.h"

#include "UObject/Class.h"
#include "UObjectArray.h"

UObject::UObject()
    : InternalIndex(FUObjectArray::Get().AllocateIndex(this))
{
}

UObject::~UObject() { FUObjectArray::Get().FreeIndex(InternalIndex); }

void UObject::MarkPendingKill() { FUObjectArray::Get().MarkPendingKill(InternalIndex); }

bool UObject::IsPendingKill() const { return FUObjectArray::Get().IsPendingKill(InternalIndex); }

UClass* UObject::StaticClass()
{
	static UClass Class(TEXT("UObject"), nullptr, CLASS_None, UE::CoreUObject::Private::TClassTraits<UObject>::GetConstructor(), UE_SCRIPT_PACKAGE_NAME);
	return &Class;
}

static UE::CoreUObject::Private::FRegisterCompiledInClass GRegisterCompiledIn_UObject(&UObject::StaticClass);

bool UObject::IsA(const UClass* SomeBase) const { return GetClass()->IsChildOf(SomeBase); }

UClass* UObject::GetClassForObject() const { return StaticClass(); }
