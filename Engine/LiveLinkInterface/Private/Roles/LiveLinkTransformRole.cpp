#include "Roles/LiveLinkTransformRole.h"

#include "Roles/LiveLinkTransformTypes.h"

#define LOCTEXT_NAMESPACE "LiveLinkTransformRole"

IMPLEMENT_CLASS_INTRINSIC(ULiveLinkTransformRole)

UScriptStruct* ULiveLinkTransformRole::GetStaticDataStruct() const { return FLiveLinkTransformStaticData::StaticStruct(); }

UScriptStruct* ULiveLinkTransformRole::GetFrameDataStruct() const { return FLiveLinkTransformFrameData::StaticStruct(); }

FText ULiveLinkTransformRole::GetDisplayName() const { return LOCTEXT("TransformRole", "Transform"); }

#undef LOCTEXT_NAMESPACE
