#include "UObject/UObjectGlobals.h"

#include "UObjectArray.h"

namespace UE::CoreUObject::Private
{
UObject* ConstructObject(const UClass* Class, const UClass* Base)
{
	check(Class != nullptr && Class->IsChildOf(Base) && Class->GetClassConstructor() != nullptr);
	UObject* Object = Class->GetClassConstructor()();
	FUObjectArray::Get().MarkCollectable(Object->GetUniqueID());
	return Object;
}
} // namespace UE::CoreUObject::Private

void CollectGarbage(EObjectFlags KeepFlags, bool bPerformFullPurge)
{
	// Listed first: each destructor gives its slot back to the array.
	for (UObject* Object : FUObjectArray::Get().GetObjectsToCollect())
	{
		delete Object;
	}
}
