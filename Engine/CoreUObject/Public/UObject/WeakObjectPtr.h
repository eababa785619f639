#pragma once

#include "CoreTypes.h"
#include "UObject/WeakObjectPtrTemplates.h"

class UObject;

/**
 * What a TWeakObjectPtr holds: the object's slot in the object array and the serial number that slot had when the
 * pointer was set. A destroyed object's slot forgets its serial number, and a later object in that slot (or at
 * that address) gets a new one, so an old pointer never reads a newcomer.
 *
 * Threads: any thread may set, read and compare one. An object read on one thread may be destroyed on another
 * right after, as in the engine: objects are destroyed on the game thread, where weak pointers are read.
 */
struct COREUOBJECT_API FWeakObjectPtr
{
	FWeakObjectPtr() = default;
	/** Null makes an unset pointer. */
	FWeakObjectPtr(const UObject* Object);

	void Reset();
	/** The object; null when unset, once the object is gone, and (unless bEvenIfPendingKill) once it is marked pending kill. */
	UObject* Get(bool bEvenIfPendingKill = false) const;
	bool IsValid(bool bEvenIfPendingKill = false) const { return Get(bEvenIfPendingKill) != nullptr; }

	/** Equal when set to the same object, or when neither reads as an object any more. */
	bool operator==(const FWeakObjectPtr& Other) const;
	bool operator!=(const FWeakObjectPtr& Other) const { return !(*this == Other); }

private:
	int32 ObjectIndex = INDEX_NONE;
	int32 ObjectSerialNumber = 0;
};
