#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class UTakeMetaData;

DECLARE_MULTICAST_DELEGATE_OneParam(FOnTakeMetaDataChanged, UTakeMetaData*)

/**
 * The slate and take number of a take; take numbers are at least 1. A locked take (one already recorded, as a
 * panel reviewing it shows it) keeps its values: its setters do nothing.
 *
 * Threads: the game thread alone.
 */
UCLASS()
class TAKESCORE_API UTakeMetaData : public UObject
{
	DECLARE_CLASS_INTRINSIC(UTakeMetaData, UObject)

public:
	const FString& GetSlate() const { return Slate; }
	/** Sets the slate, leaving the take number as it is; announces the change when bEmitChanged. Nothing when locked. */
	void SetSlate(FString InSlate, bool bEmitChanged = true);

	int32 GetTakeNumber() const { return TakeNumber; }
	/** Sets the take number, raising anything below 1 to 1; announces the change when bEmitChanged. Nothing when locked. */
	void SetTakeNumber(int32 InTakeNumber, bool bEmitChanged = true);

	bool IsLocked() const { return bIsLocked; }
	void Lock() { bIsLocked = true; }
	void Unlock() { bIsLocked = false; }

	/** Broadcast after a setter asked to announce its change has applied it. */
	FOnTakeMetaDataChanged& OnTakeMetaDataChanged() { return ChangedDelegate; }

private:
	FString Slate;
	int32 TakeNumber = 1;
	bool bIsLocked = false;
	FOnTakeMetaDataChanged ChangedDelegate;
};
