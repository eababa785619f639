#include "UObject/WeakObjectPtr.h"

#include "UObject/Object.h"
#include "UObjectArray.h"

FWeakObjectPtr::FWeakObjectPtr(const UObject* Object)
{
	if (Object != nullptr)
	{
		ObjectIndex = Object->GetUniqueID();
		ObjectSerialNumber = FUObjectArray::Get().GetOrAllocateSerialNumber(ObjectIndex);
	}
}

void FWeakObjectPtr::Reset()
{
	ObjectIndex = INDEX_NONE;
	ObjectSerialNumber = 0;
}

UObject* FWeakObjectPtr::Get(bool bEvenIfPendingKill) const { return FUObjectArray::Get().GetObject(ObjectIndex, ObjectSerialNumber, bEvenIfPendingKill); }

bool FWeakObjectPtr::operator==(const FWeakObjectPtr& Other) const
{
	return (ObjectIndex == Other.ObjectIndex && ObjectSerialNumber == Other.ObjectSerialNumber) || (!IsValid() && !Other.IsValid());
}
