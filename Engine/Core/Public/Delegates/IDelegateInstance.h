#pragma once

#include "CoreTypes.h"

/** Names one binding of a delegate. A handle is valid once it was made for a binding, not while that binding lasts. */
class CORE_API FDelegateHandle
{
public:
	enum EGenerateNewHandleType
	{
		GenerateNewHandle
	};

	FDelegateHandle() = default;
	explicit FDelegateHandle(EGenerateNewHandleType)
	    : ID(GenerateNewID())
	{
	}

	bool IsValid() const { return ID != 0; }
	void Reset() { ID = 0; }

	bool operator==(const FDelegateHandle& Other) const { return ID == Other.ID; }
	bool operator!=(const FDelegateHandle& Other) const { return ID != Other.ID; }

private:
	/** A process-wide running number; never 0. */
	static uint64 GenerateNewID();

	uint64 ID = 0;
};
