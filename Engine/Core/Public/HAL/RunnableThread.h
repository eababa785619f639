#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "GenericPlatform/GenericPlatformAffinity.h"

class FRunnable;

/**
 * A thread that runs one FRunnable.
 *
 * Threads: Create may be called from any thread; it returns once the new thread has run the runnable's Init.
 * WaitForCompletion, Kill and deletion belong to the thread that owns the object; deleting a thread that is
 * still running stops its runnable and waits for it.
 */
class CORE_API FRunnableThread
{
public:
	/**
	 * Starts a thread for InRunnable. The stack size is raised to the system's minimum when smaller (0 means the
	 * system default); the priority and the affinity mask are applied where the system allows and ignored where
	 * it refuses. Gives null when the process runs without multithreading ("-nothreading" on the command line),
	 * when InRunnable is null, or when the system cannot create the thread.
	 */
	static FRunnableThread* Create(FRunnable* InRunnable, const TCHAR* ThreadName, uint32 InStackSize = 0, EThreadPriority InThreadPri = TPri_Normal,
	                               uint64 InThreadAffinityMask = FPlatformAffinity::GetNoAffinityMask(),
	                               EThreadCreateFlags InCreateFlags = EThreadCreateFlags::None);

	virtual ~FRunnableThread() = default;

	/** Blocks until Run and Exit have returned; returns at once when they already have. */
	virtual void WaitForCompletion() = 0;
	/** Asks the runnable to stop and, when bShouldWait, waits for the thread. */
	virtual bool Kill(bool bShouldWait = true) = 0;

	const FString& GetThreadName() const { return ThreadName; }
	/** The system's id of the thread (its Linux thread id). */
	uint32 GetThreadID() const { return ThreadID; }
	EThreadPriority GetThreadPriority() const { return ThreadPriority; }

protected:
	FString ThreadName;
	FRunnable* Runnable = nullptr;
	uint32 ThreadID = 0;
	EThreadPriority ThreadPriority = TPri_Normal;
	uint64 ThreadAffinityMask = FPlatformAffinity::GetNoAffinityMask();
};
