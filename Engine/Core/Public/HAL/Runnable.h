#pragma once

#include "CoreTypes.h"

class FSingleThreadRunnable;

/** Work for a thread of its own: the thread calls Init, then Run when Init succeeded, then Exit. */
class CORE_API FRunnable
{
public:
	virtual ~FRunnable() = default;

	/** Called on the new thread before Create returns; false skips Run. */
	virtual bool Init() { return true; }
	virtual uint32 Run() = 0;
	/** Asks Run to finish early; called from another thread. */
	virtual void Stop() {}
	/** Called on the thread after Run has returned. */
	virtual void Exit() {}
	virtual FSingleThreadRunnable* GetSingleThreadInterface() { return nullptr; }
};
