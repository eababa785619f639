// What the engine's header tool would generate for OrvidaLiveLinkSourceSettings.h, written by hand.
#pragma once

#include "UObject/ObjectMacros.h"

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID OrvidaLiveLinkSourceSettings_h

#define OrvidaLiveLinkSourceSettings_h_GENERATED_BODY DECLARE_CLASS_WITH_PROPERTIES(UOrvidaLiveLinkSourceSettings, ULiveLinkSourceSettings)
