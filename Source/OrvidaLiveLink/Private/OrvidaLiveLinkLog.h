#pragma once

#include "CoreMinimal.h"

/** The module's one log category. */
ORVIDALIVELINK_API DECLARE_LOG_CATEGORY_EXTERN(ModuleLog, Log, All)
