#pragma once

#include "Editor/Snapshot.h"

#include <memory>
#include <mutex>

/**
 * Where the game thread leaves the latest snapshot for readers.
 *
 * Threads: the game thread publishes; any thread reads. The snapshot itself is immutable, so a reader keeps the
 * one it got for as long as it likes while newer ones are published. Lock protects Current, the pointer only:
 * it is held for a copy or a swap, never while a snapshot is built, read or destroyed. (libstdc++ 12's
 * std::atomic<std::shared_ptr> releases its internal lock after a load with relaxed order, so a load on one thread
 * and the next store on another race under the memory model, and TSan reports it.)
 */
class FHostSnapshotBoard
{
public:
	void Publish(std::shared_ptr<const FHostSnapshot> Snapshot)
	{
		{
			std::lock_guard<std::mutex> Guard(Lock);
			Current.swap(Snapshot);
		}
		// The snapshot replaced, destroyed here if no reader holds it, outside the lock.
	}
	/** The latest snapshot; null before the first one was published. */
	std::shared_ptr<const FHostSnapshot> Read() const
	{
		std::lock_guard<std::mutex> Guard(Lock);
		return Current;
	}

private:
	mutable std::mutex Lock;
	std::shared_ptr<const FHostSnapshot> Current;
};
