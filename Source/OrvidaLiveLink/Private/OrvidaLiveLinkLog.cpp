#include "OrvidaLiveLinkLog.h"

DEFINE_LOG_CATEGORY(ModuleLog)
