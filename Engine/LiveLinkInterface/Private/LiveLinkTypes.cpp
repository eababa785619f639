#include "LiveLinkTypes.h"

IMPLEMENT_SCRIPT_STRUCT(FLiveLinkBaseStaticData)
IMPLEMENT_SCRIPT_STRUCT(FLiveLinkBaseFrameData)
