// Where one parse puts the values it builds, so that a tree of N values costs a couple of heap allocations rather
// than N.
#pragma once

#include "CoreTypes.h"

#include <atomic>

namespace UE::Json::Private
{
/**
 * The memory of one parse's values: a block from the heap handed out front to back, with larger blocks chained on
 * when it runs out. Nothing is given back piecemeal; the arena frees everything at once when it goes.
 *
 * Why values may outlive one another, their root and the parse in any order:
 * 1. Every value and object a parse builds is one std::allocate_shared allocation from its arena, the shared
 *    pointer's control block and the object together, so each holds its own reference counts like any other
 *    TSharedPtr target. Users may keep, share, weakly point at and release any of them, on any thread.
 * 2. The standard library gives a control block's memory back through the allocator exactly once, after the
 *    last shared and the last weak reference to it have gone, and that is the allocator's last use by that block.
 *    Deallocate counts these returns; the one that brings the count to zero destroys the arena. So the arena lives
 *    exactly as long as the longest-lived control block in it.
 * 3. While the parse builds, nothing is published yet and only the building thread can reach the arena. Allocations
 *    are then counted in a plain integer and LiveBlocks starts at a large bias, so that a value released during the
 *    build (a repeated name replaces its earlier value) cannot bring it to zero. Publish adds the count and removes
 *    the bias in one atomic step. Each value thus costs one atomic decrement at its end, as a shared pointer's own
 *    count does, and none at its start.
 *
 * Threads: Create, Allocate and Publish belong to the building thread, and Allocate only before Publish;
 * Deallocate may run on any thread at any time.
 */
class FJsonArena
{
public:
	/** A new arena whose first block holds InitialBytes; throws std::bad_alloc when the heap is exhausted. */
	static FJsonArena* Create(SIZE_T InitialBytes);

	/** Memory for one control block; throws std::bad_alloc when the heap is exhausted. Building thread only. */
	void* Allocate(SIZE_T Bytes, SIZE_T Alignment)
	{
		const UPTRINT Start = (reinterpret_cast<UPTRINT>(Cursor) + (Alignment - 1)) & ~UPTRINT(Alignment - 1);
		uint8* Memory = reinterpret_cast<uint8*>(Start);
		if (Start > reinterpret_cast<UPTRINT>(Limit) || SIZE_T(Limit - Memory) < Bytes)
		{
			Memory = AllocateInNewBlock(Bytes, Alignment);
		}
		Cursor = Memory + Bytes;
		++AllocatedBlocks;
		return Memory;
	}

	/** Hands the count of allocations over to them; the arena goes at once when none is alive. Call exactly once. */
	void Publish();
	/** One allocation's memory is no longer used; the last one destroys the arena. Any thread. */
	void Deallocate() noexcept;

private:
	/** Header of each block after the first, which lives with the arena itself. */
	struct FBlock
	{
		FBlock* Next;
	};

	FJsonArena(uint8* FirstBlock, SIZE_T FirstBlockBytes);
	~FJsonArena() = default;
	uint8* AllocateInNewBlock(SIZE_T Bytes, SIZE_T Alignment);
	void Destroy() noexcept;

	/** Far above any number of allocations one parse can make (fewer than one per byte of text). */
	static constexpr int64 BuildBias = int64(1) << 62;

	/** Allocations alive, plus BuildBias until Publish. */
	std::atomic<int64> LiveBlocks{BuildBias};
	// The rest belongs to the building thread alone.
	/** Allocations made. */
	int64 AllocatedBlocks = 0;
	/** Free space of the current block. */
	uint8* Cursor;
	uint8* Limit;
	/** Blocks after the first, newest first. */
	FBlock* ExtraBlocks = nullptr;
	/** Size of the next block; each is twice the one before. */
	SIZE_T NextBlockBytes;
};

/** Hands out an arena's memory to std::allocate_shared. Copies share the arena; only deallocation counts. */
template <typename ElementType> class TJsonArenaAllocator
{
public:
	typedef ElementType value_type;

	explicit TJsonArenaAllocator(FJsonArena& InArena)
	    : Arena(&InArena)
	{
	}
	template <typename OtherType>
	TJsonArenaAllocator(const TJsonArenaAllocator<OtherType>& Other)
	    : Arena(Other.Arena)
	{
	}

	ElementType* allocate(SIZE_T Count) { return static_cast<ElementType*>(Arena->Allocate(Count * sizeof(ElementType), alignof(ElementType))); }
	void deallocate(ElementType*, SIZE_T) noexcept { Arena->Deallocate(); }

	template <typename OtherType> bool operator==(const TJsonArenaAllocator<OtherType>& Other) const { return Arena == Other.Arena; }

private:
	template <typename> friend class TJsonArenaAllocator;

	FJsonArena* Arena;
};
} // namespace UE::Json::Private
