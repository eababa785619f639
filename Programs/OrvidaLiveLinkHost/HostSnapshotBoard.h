#pragma once

#include "HostSnapshot.h"

#include <atomic>
#include <memory>

/**
 * Where the game thread leaves the latest snapshot for readers.
 *
 * Threads: the game thread publishes; any thread reads. The snapshot itself is immutable, so a reader keeps the
 * one it got for as long as it likes while newer ones are published.
 */
class FHostSnapshotBoard
{
public:
	void Publish(std::shared_ptr<const FHostSnapshot> Snapshot) { Current.store(std::move(Snapshot)); }
	/** The latest snapshot; null before the first one was published. */
	std::shared_ptr<const FHostSnapshot> Read() const { return Current.load(); }

private:
	std::atomic<std::shared_ptr<const FHostSnapshot>> Current;
};
