#include "Serialization/JsonArena.h"

#include <algorithm>
#include <new>

namespace UE::Json::Private
{
namespace
{
/** Every block starts at this alignment, which no value type exceeds. */
constexpr SIZE_T BlockAlignment = alignof(std::max_align_t);

constexpr SIZE_T AlignUp(SIZE_T Value, SIZE_T Alignment) { return (Value + Alignment - 1) & ~(Alignment - 1); }
} // namespace

FJsonArena* FJsonArena::Create(SIZE_T InitialBytes)
{
	// The arena and its first block share one allocation.
	const SIZE_T HeaderBytes = AlignUp(sizeof(FJsonArena), BlockAlignment);
	uint8* Memory = static_cast<uint8*>(::operator new(HeaderBytes + InitialBytes));
	return new (Memory) FJsonArena(Memory + HeaderBytes, InitialBytes);
}

FJsonArena::FJsonArena(uint8* FirstBlock, SIZE_T FirstBlockBytes)
    : Cursor(FirstBlock)
    , Limit(FirstBlock + FirstBlockBytes)
    , NextBlockBytes(std::max<SIZE_T>(2 * FirstBlockBytes, 256))
{
}

uint8* FJsonArena::AllocateInNewBlock(SIZE_T Bytes, SIZE_T Alignment)
{
	const SIZE_T HeaderBytes = AlignUp(sizeof(FBlock), BlockAlignment);
	const SIZE_T Usable = std::max(NextBlockBytes, AlignUp(Bytes, BlockAlignment) + Alignment);
	uint8* Memory = static_cast<uint8*>(::operator new(HeaderBytes + Usable));
	FBlock* Block = reinterpret_cast<FBlock*>(Memory);
	Block->Next = ExtraBlocks;
	ExtraBlocks = Block;
	NextBlockBytes = 2 * Usable;
	Cursor = Memory + HeaderBytes;
	Limit = Cursor + Usable;
	return reinterpret_cast<uint8*>(AlignUp(reinterpret_cast<UPTRINT>(Cursor), Alignment));
}

void FJsonArena::Publish()
{
	const int64 Adjustment = AllocatedBlocks - BuildBias;
	if (LiveBlocks.fetch_add(Adjustment, std::memory_order_acq_rel) + Adjustment == 0)
	{
		Destroy();
	}
}

constinit thread_local FJsonArena* FJsonArena::TeardownArena = nullptr;
constinit thread_local int64 FJsonArena::TeardownReturns = 0;

void FJsonArena::Release(int64 Count) noexcept
{
	// acq_rel: every use of a value happens before the memory goes, whichever thread lets go last.
	if (LiveBlocks.fetch_sub(Count, std::memory_order_acq_rel) == Count)
	{
		Destroy();
	}
}

void FJsonArena::Destroy() noexcept
{
	for (FBlock* Block = ExtraBlocks; Block != nullptr;)
	{
		FBlock* Next = Block->Next;
		::operator delete(static_cast<void*>(Block));
		Block = Next;
	}
	this->~FJsonArena();
	::operator delete(static_cast<void*>(this));
}
} // namespace UE::Json::Private
