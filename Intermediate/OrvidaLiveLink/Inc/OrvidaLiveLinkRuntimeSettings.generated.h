// What the engine's header tool would generate for OrvidaLiveLinkRuntimeSettings.h, written by hand.
#pragma once

#include "UObject/ObjectMacros.h"

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID OrvidaLiveLinkRuntimeSettings_h

#define OrvidaLiveLinkRuntimeSettings_h_GENERATED_BODY DECLARE_CLASS_WITH_PROPERTIES(UOrvidaLiveLinkRuntimeSettings, UObject)
