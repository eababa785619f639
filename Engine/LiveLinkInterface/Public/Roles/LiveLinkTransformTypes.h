#pragma once

#include "LiveLinkTypes.h"
#include "Math/Transform.h"

/** Static data of a subject that moves as one rigid body: which parts of its transform it sends. */
USTRUCT()
struct LIVELINKINTERFACE_API FLiveLinkTransformStaticData : public FLiveLinkBaseStaticData
{
	DECLARE_SCRIPT_STRUCT(FLiveLinkTransformStaticData, FLiveLinkBaseStaticData)

	bool bIsLocationSupported = true;
	bool bIsRotationSupported = true;
	bool bIsScaleSupported = false;
};

/** One sample of a rigid body. */
USTRUCT()
struct LIVELINKINTERFACE_API FLiveLinkTransformFrameData : public FLiveLinkBaseFrameData
{
	DECLARE_SCRIPT_STRUCT(FLiveLinkTransformFrameData, FLiveLinkBaseFrameData)

	FTransform Transform;
};
