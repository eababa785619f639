#pragma once

#include "CoreTypes.h"

/** Sequentially consistent atomic operations on plain integers; each returns the value from before. */
struct FPlatformAtomics
{
	static FORCEINLINE int32 InterlockedExchange(volatile int32* Value, int32 Exchange) { return __atomic_exchange_n(Value, Exchange, __ATOMIC_SEQ_CST); }
	static FORCEINLINE int64 InterlockedExchange(volatile int64* Value, int64 Exchange) { return __atomic_exchange_n(Value, Exchange, __ATOMIC_SEQ_CST); }
	/** Writes Exchange only when *Dest equals Comparand. */
	static FORCEINLINE int32 InterlockedCompareExchange(volatile int32* Dest, int32 Exchange, int32 Comparand)
	{
		__atomic_compare_exchange_n(Dest, &Comparand, Exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
		return Comparand;
	}
	static FORCEINLINE int64 InterlockedCompareExchange(volatile int64* Dest, int64 Exchange, int64 Comparand)
	{
		__atomic_compare_exchange_n(Dest, &Comparand, Exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
		return Comparand;
	}
	static FORCEINLINE int32 InterlockedIncrement(volatile int32* Value) { return __atomic_add_fetch(Value, 1, __ATOMIC_SEQ_CST); }
	static FORCEINLINE int64 InterlockedIncrement(volatile int64* Value) { return __atomic_add_fetch(Value, 1, __ATOMIC_SEQ_CST); }
	static FORCEINLINE int32 AtomicRead(volatile const int32* Source) { return __atomic_load_n(Source, __ATOMIC_SEQ_CST); }
	static FORCEINLINE int64 AtomicRead(volatile const int64* Source) { return __atomic_load_n(Source, __ATOMIC_SEQ_CST); }
};
