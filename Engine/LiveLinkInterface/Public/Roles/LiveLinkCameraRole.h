#pragma once

#include "Roles/LiveLinkTransformRole.h"

/** A camera: a rigid body with a lens. */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkCameraRole : public ULiveLinkTransformRole
{
	DECLARE_CLASS_INTRINSIC(ULiveLinkCameraRole, ULiveLinkTransformRole)

public:
	UScriptStruct* GetStaticDataStruct() const override;
	UScriptStruct* GetFrameDataStruct() const override;
	FText GetDisplayName() const override;
};
