#pragma once

#include "UObject/ObjectMacros.h"

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID TestConfigSettings_h

#define TestConfigSettings_h_GENERATED_BODY DECLARE_CLASS_WITH_PROPERTIES(UTestConfigSettings, UObject)
