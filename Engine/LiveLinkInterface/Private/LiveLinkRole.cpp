#include "LiveLinkRole.h"

#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(ULiveLinkRole)
