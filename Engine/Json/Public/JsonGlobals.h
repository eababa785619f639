// The Json module's log category. The module writes to it only when a caller reads a value as a type it does not
// hold or asks for a field that is not there; parsing itself never logs, its failures are the caller's to report.
#pragma once

#include "CoreMinimal.h"

JSON_API DECLARE_LOG_CATEGORY_EXTERN(LogJson, Log, All)
