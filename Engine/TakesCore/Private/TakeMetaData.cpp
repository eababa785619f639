#include "TakeMetaData.h"

#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(UTakeMetaData)

void UTakeMetaData::SetSlate(FString InSlate, bool bEmitChanged)
{
	if (bIsLocked)
	{
		return;
	}
	Slate = MoveTemp(InSlate);
	if (bEmitChanged)
	{
		ChangedDelegate.Broadcast(this);
	}
}

void UTakeMetaData::SetTakeNumber(int32 InTakeNumber, bool bEmitChanged)
{
	if (bIsLocked)
	{
		return;
	}
	TakeNumber = InTakeNumber < 1 ? 1 : InTakeNumber;
	if (bEmitChanged)
	{
		ChangedDelegate.Broadcast(this);
	}
}
