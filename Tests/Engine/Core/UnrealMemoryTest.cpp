#include "HAL/UnrealMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(UnrealMemory, BlocksHaveTheAlignmentAskedForAndTheirWholeSize)
{
	// Below, at and above what the plain heap gives; odd sizes check that the aligned path rounds up.
	const struct
	{
		SIZE_T Count;
		uint32 Alignment;
	} Cases[] = {{1, 0}, {24, 8}, {48, 16}, {33, 32}, {100, 64}, {4097, 4096}, {0, 64}};
	for (const auto& Case : Cases)
	{
		void* Block = FMemory::Malloc(Case.Count, Case.Alignment);
		ASSERT_NE(Block, nullptr);
		const uintptr_t Address = reinterpret_cast<uintptr_t>(Block);
		EXPECT_EQ(Address % (Case.Alignment > 0 ? Case.Alignment : 1), 0u) << Case.Count << " bytes at " << Case.Alignment;
		// The whole block is writable: ASan reports a short block here.
		std::memset(Block, 0xAB, Case.Count);
		FMemory::Free(Block);
	}
	FMemory::Free(nullptr);
}
