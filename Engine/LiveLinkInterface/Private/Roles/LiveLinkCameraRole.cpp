#include "Roles/LiveLinkCameraRole.h"

#include "Roles/LiveLinkCameraTypes.h"

#define LOCTEXT_NAMESPACE "LiveLinkCameraRole"

IMPLEMENT_CLASS_INTRINSIC(ULiveLinkCameraRole)

UScriptStruct* ULiveLinkCameraRole::GetStaticDataStruct() const { return FLiveLinkCameraStaticData::StaticStruct(); }

UScriptStruct* ULiveLinkCameraRole::GetFrameDataStruct() const { return FLiveLinkCameraFrameData::StaticStruct(); }

FText ULiveLinkCameraRole::GetDisplayName() const { return LOCTEXT("CameraRole", "Camera"); }

#undef LOCTEXT_NAMESPACE
