#include "TakeRecorderLog.h"

DEFINE_LOG_CATEGORY(LogTakeRecorder)
