#include "UObjectArray.h"

FUObjectArray& FUObjectArray::Get()
{
	static FUObjectArray* Array = new FUObjectArray();
	return *Array;
}

int32 FUObjectArray::AllocateIndex(UObject* Object)
{
	std::lock_guard<std::mutex> Guard(Lock);
	int32 Index = int32(Items.size());
	if (!FreeIndices.empty())
	{
		Index = FreeIndices.back();
		FreeIndices.pop_back();
	}
	else
	{
		Items.emplace_back();
	}
	Items[Index] = FItem{Object};
	return Index;
}

void FUObjectArray::FreeIndex(int32 Index)
{
	std::lock_guard<std::mutex> Guard(Lock);
	Items[Index] = FItem();
	FreeIndices.push_back(Index);
}

int32 FUObjectArray::GetOrAllocateSerialNumber(int32 Index)
{
	std::lock_guard<std::mutex> Guard(Lock);
	FItem& Item = Items[Index];
	if (Item.SerialNumber == 0)
	{
		Item.SerialNumber = ++LastSerialNumber;
	}
	return Item.SerialNumber;
}

UObject* FUObjectArray::GetObject(int32 Index, int32 SerialNumber, bool bEvenIfPendingKill) const
{
	std::lock_guard<std::mutex> Guard(Lock);
	if (Index < 0 || Index >= int32(Items.size()) || SerialNumber == 0)
	{
		return nullptr;
	}
	const FItem& Item = Items[Index];
	return Item.SerialNumber == SerialNumber && (bEvenIfPendingKill || !Item.bPendingKill) ? Item.Object : nullptr;
}

void FUObjectArray::MarkPendingKill(int32 Index)
{
	std::lock_guard<std::mutex> Guard(Lock);
	Items[Index].bPendingKill = true;
}

bool FUObjectArray::IsPendingKill(int32 Index) const
{
	std::lock_guard<std::mutex> Guard(Lock);
	return Items[Index].bPendingKill;
}

void FUObjectArray::MarkCollectable(int32 Index)
{
	std::lock_guard<std::mutex> Guard(Lock);
	Items[Index].bCollectable = true;
}

std::vector<UObject*> FUObjectArray::GetObjectsToCollect() const
{
	std::lock_guard<std::mutex> Guard(Lock);
	std::vector<UObject*> Objects;
	for (const FItem& Item : Items)
	{
		if (Item.Object != nullptr && Item.bCollectable && Item.bPendingKill)
		{
			Objects.push_back(Item.Object);
		}
	}
	return Objects;
}
