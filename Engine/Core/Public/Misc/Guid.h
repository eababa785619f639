#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

/** A 128-bit identifier; all zero means invalid. */
struct CORE_API FGuid
{
	uint32 A = 0;
	uint32 B = 0;
	uint32 C = 0;
	uint32 D = 0;

	FGuid() = default;
	FGuid(uint32 InA, uint32 InB, uint32 InC, uint32 InD)
	    : A(InA)
	    , B(InB)
	    , C(InC)
	    , D(InD)
	{
	}

	/** A fresh random identifier (never all zero). */
	static FGuid NewGuid();

	bool IsValid() const { return (A | B | C | D) != 0; }
	void Invalidate() { A = B = C = D = 0; }
	/** 32 upper-case hexadecimal digits. */
	FString ToString() const;

	bool operator==(const FGuid& Other) const { return A == Other.A && B == Other.B && C == Other.C && D == Other.D; }
	bool operator!=(const FGuid& Other) const { return !(*this == Other); }
};

inline uint32 GetTypeHash(const FGuid& Guid) { return Guid.A ^ (Guid.B * 31u) ^ (Guid.C * 131u) ^ (Guid.D * 1031u); }
