#include "Async/Async.h"

#include <atomic>

int32 FAsyncThreadIndex::GetNext()
{
	static std::atomic<int32> ThreadIndex{0};
	return ThreadIndex.fetch_add(1);
}
