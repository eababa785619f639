#pragma once

#include "LiveLinkRole.h"

/** A subject that moves as one rigid body. */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkTransformRole : public ULiveLinkRole
{
	DECLARE_CLASS_INTRINSIC(ULiveLinkTransformRole, ULiveLinkRole)

public:
	UScriptStruct* GetStaticDataStruct() const override;
	UScriptStruct* GetFrameDataStruct() const override;
	FText GetDisplayName() const override;
};
