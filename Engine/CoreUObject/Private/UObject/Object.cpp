#include "UObject/Object.h"

#include "UObject/Class.h"

UObject::~UObject() = default;

UClass* UObject::StaticClass()
{
	static UClass Class(TEXT("UObject"), nullptr, CLASS_None, UE::CoreUObject::Private::TClassTraits<UObject>::GetConstructor(),
		UE_SCRIPT_PACKAGE_NAME);
	return &Class;
}

static UE::CoreUObject::Private::FRegisterCompiledInClass GRegisterCompiledIn_UObject(&UObject::StaticClass);

bool UObject::IsA(const UClass* SomeBase) const
{
	return GetClass()->IsChildOf(SomeBase);
}

UClass* UObject::GetClassForObject() const
{
	return StaticClass();
}
