#include "StandIn/SocketCallCounts.h"

#include "SocketsBSD.h"

int64 FStandInSocketCallCounts::GetWaitCallCount(const FSocket& Socket) { return static_cast<const FSocketBSD&>(Socket).GetWaitCallCount(); }
