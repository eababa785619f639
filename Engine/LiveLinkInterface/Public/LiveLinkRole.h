#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class UScriptStruct;

/**
 * What a subject is (a transform, a camera…): the role names the structs its static data and frames must be.
 * Abstract: a subject always has one of the derived roles.
 *
 * Threads: a role holds no state; any thread may ask it.
 */
UCLASS(Abstract)
class LIVELINKINTERFACE_API ULiveLinkRole : public UObject
{
	DECLARE_CLASS_INTRINSIC(ULiveLinkRole, UObject)

public:
	virtual UScriptStruct* GetStaticDataStruct() const = 0;
	virtual UScriptStruct* GetFrameDataStruct() const = 0;
	virtual FText GetDisplayName() const = 0;
};
