// Where one parse puts the values it builds, so that a tree of N values costs a couple of heap allocations rather
// than N.
#pragma once

#include "CoreTypes.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"

#include <atomic>
#include <type_traits>

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
 *    the bias in one atomic step.
 * 4. A tree usually goes all at once, from its root. While a container's destructor runs, the returns of its
 *    arena on that thread are tallied in thread-local storage and subtracted in one atomic step when it ends,
 *    instead of one step each (which measured as 15% of building and releasing a large array). Returns on other
 *    threads still count one by one, and the container's own block stays counted throughout, so the count cannot
 *    reach zero while a tally waits.
 *
 * Threads: Create, Allocate, AllocateData and Publish belong to the building thread, the allocations only before
 * Publish; Deallocate and DestroyContainer may run on any thread at any time.
 */
class FJsonArena
{
public:
	/** A new arena whose first block holds InitialBytes; throws std::bad_alloc when the heap is exhausted. */
	static FJsonArena* Create(SIZE_T InitialBytes);

	/** Memory for one control block; throws std::bad_alloc when the heap is exhausted. Building thread only. */
	void* Allocate(SIZE_T Bytes, SIZE_T Alignment)
	{
		++AllocatedBlocks;
		return AllocateData(Bytes, Alignment);
	}

	/**
	 * Memory for plain data that the parse's values point into, such as parsed names: never given back on its own,
	 * it goes with the arena, which outlives every value. Throws std::bad_alloc as Allocate. Building thread only.
	 */
	void* AllocateData(SIZE_T Bytes, SIZE_T Alignment)
	{
		const UPTRINT Start = (reinterpret_cast<UPTRINT>(Cursor) + (Alignment - 1)) & ~UPTRINT(Alignment - 1);
		uint8* Memory = reinterpret_cast<uint8*>(Start);
		if (Start > reinterpret_cast<UPTRINT>(Limit) || SIZE_T(Limit - Memory) < Bytes)
		{
			Memory = AllocateInNewBlock(Bytes, Alignment);
		}
		Cursor = Memory + Bytes;
		return Memory;
	}

	/** Hands the count of allocations over to them; the arena goes at once when none is alive. Call exactly once. */
	void Publish();
	/** One allocation's memory is no longer used; the last one destroys the arena. Any thread. */
	void Deallocate() noexcept
	{
		if (TeardownArena == this)
		{
			++TeardownReturns;
			return;
		}
		Release(1);
	}

	/** Destroys a container of this arena, tallying the returns on the way (item 4 above). */
	template <typename ContainerType> void DestroyContainer(ContainerType* Container) noexcept
	{
		if (TeardownArena != nullptr)
		{
			// Already inside a teardown: of this arena, whose tally goes on, or of another, whose tally this leaves be.
			Container->ContainerType::~ContainerType();
			return;
		}
		TeardownArena = this;
		Container->ContainerType::~ContainerType();
		TeardownArena = nullptr;
		const int64 Returns = TeardownReturns;
		TeardownReturns = 0;
		if (Returns != 0)
		{
			Release(Returns);
		}
	}

private:
	/** Header of each block after the first, which lives with the arena itself. */
	struct FBlock
	{
		FBlock* Next;
	};

	FJsonArena(uint8* FirstBlock, SIZE_T FirstBlockBytes);
	~FJsonArena() = default;
	uint8* AllocateInNewBlock(SIZE_T Bytes, SIZE_T Alignment);
	/** Count allocations are no longer used; the arena goes when none is left. */
	void Release(int64 Count) noexcept;
	void Destroy() noexcept;

	/**
	 * The arena whose container this thread is destroying, and the returns tallied for it. constinit and
	 * initial-exec make each access one load relative to the thread pointer, not a call: this runs once per value.
	 */
	static constinit thread_local FJsonArena* TeardownArena __attribute__((tls_model("initial-exec")));
	static constinit thread_local int64 TeardownReturns __attribute__((tls_model("initial-exec")));

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

	/** Containers are destroyed with one count for what they release; other values just go. */
	template <typename ObjectType> void destroy(ObjectType* Object) noexcept
	{
		if constexpr (std::is_same_v<ObjectType, FJsonObject> || std::is_same_v<ObjectType, FJsonValueArray> ||
		              std::is_same_v<ObjectType, FJsonValueObject>)
		{
			Arena->DestroyContainer(Object);
		}
		else
		{
			// Qualified, so not through the vtable: this block made exactly an ObjectType, and for numbers,
			// booleans and nulls the call then compiles to nothing.
			Object->ObjectType::~ObjectType();
		}
	}

	template <typename OtherType> bool operator==(const TJsonArenaAllocator<OtherType>& Other) const { return Arena == Other.Arena; }

private:
	template <typename> friend class TJsonArenaAllocator;

	FJsonArena* Arena;
};
} // namespace UE::Json::Private
