#include "Delegates/IDelegateInstance.h"

#include <atomic>

uint64 FDelegateHandle::GenerateNewID()
{
	static std::atomic<uint64> NextID{1};
	return NextID.fetch_add(1, std::memory_order_relaxed);
}
