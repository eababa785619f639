// How often a socket was asked to wait, so that a test can hold a receive loop to what it promises per wait
// (idle in the wait, a stop seen within one wait) in terms that do not depend on the machine's speed. The engine
// counts nothing of the kind.
#pragma once

#include "CoreTypes.h"

class FSocket;

struct SOCKETS_API FStandInSocketCallCounts
{
	/** The Wait calls that have begun on Socket, which the platform's subsystem made; any thread, while it lives. */
	static int64 GetWaitCallCount(const FSocket& Socket);
};
