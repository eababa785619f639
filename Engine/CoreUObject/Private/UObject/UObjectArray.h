#pragma once

#include "CoreTypes.h"

#include <mutex>
#include <vector>

class UObject;

/**
 * Every live object by slot, as the engine's global object array keeps them (without its chunks, clusters and
 * reachability flags). An object takes a slot when it is constructed and gives it back when it is destroyed. A
 * slot's serial number is handed out when the first weak pointer to its object is made and cleared when the
 * object goes, so serial numbers are never reused.
 *
 * Threads: any thread; one lock guards the slots. It is never held while an object is constructed or destroyed.
 */
class FUObjectArray
{
public:
	/** Made on first use and never destroyed, so that class default objects destroyed at exit can still leave. */
	static FUObjectArray& Get();

	int32 AllocateIndex(UObject* Object);
	void FreeIndex(int32 Index);

	/** The slot's serial number, made now if no weak pointer asked for it before. */
	int32 GetOrAllocateSerialNumber(int32 Index);
	/** The object in the slot when its serial number is still SerialNumber; null otherwise, and for a bad index. */
	UObject* GetObject(int32 Index, int32 SerialNumber, bool bEvenIfPendingKill) const;

	void MarkPendingKill(int32 Index);
	bool IsPendingKill(int32 Index) const;
	/** Marks the object in the slot as the collector's to destroy once it is pending kill: NewObject made it. */
	void MarkCollectable(int32 Index);
	/** Every collectable object marked pending kill; the caller destroys them. */
	std::vector<UObject*> GetObjectsToCollect() const;

private:
	struct FItem
	{
		UObject* Object = nullptr;
		/** 0 while no weak pointer has asked for one. */
		int32 SerialNumber = 0;
		bool bPendingKill = false;
		bool bCollectable = false;
	};

	FUObjectArray() = default;

	/** Protects everything below. */
	mutable std::mutex Lock;
	std::vector<FItem> Items;
	std::vector<int32> FreeIndices;
	int32 LastSerialNumber = 0;
};
