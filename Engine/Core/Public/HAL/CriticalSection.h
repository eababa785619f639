#pragma once

#include "CoreTypes.h"

#include <mutex>

/** A recursive mutex, as the engine's critical section is. */
class FCriticalSection
{
public:
	void Lock() { Mutex.lock(); }
	bool TryLock() { return Mutex.try_lock(); }
	void Unlock() { Mutex.unlock(); }

private:
	std::recursive_mutex Mutex;
};
