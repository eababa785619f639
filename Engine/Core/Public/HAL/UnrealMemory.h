// FMemory: raw blocks for things whose size and alignment are known only at run time (reflected structs).
#pragma once

#include "CoreTypes.h"

#include <cstddef>
#include <cstdlib>
#include <new>

struct FMemory
{
	/**
	 * A block of Count bytes aligned to Alignment (a power of two; 0 means the default). Throws std::bad_alloc when
	 * the heap is exhausted. An alignment the plain heap already gives takes the plain heap's fast path: the aligned
	 * one costs about three times as much, and reflected structs rarely need it.
	 */
	static void* Malloc(SIZE_T Count, uint32 Alignment = 0)
	{
		void* Block = nullptr;
		if (Alignment <= alignof(std::max_align_t))
		{
			Block = std::malloc(Count > 0 ? Count : 1);
		}
		else
		{
			// aligned_alloc wants a multiple of the alignment.
			const SIZE_T Rounded = ((Count > 0 ? Count : 1) + Alignment - 1) & ~SIZE_T(Alignment - 1);
			Block = std::aligned_alloc(Alignment, Rounded);
		}
		if (Block == nullptr)
		{
			throw std::bad_alloc();
		}
		return Block;
	}

	/** Gives back a block from Malloc, whatever its alignment; null does nothing. */
	static void Free(void* Block) { std::free(Block); }
};
