#pragma once

#include "CoreMinimal.h"
#include "Misc/Guid.h"

class FOrvidaLiveLinkSource;

/** A source the host runs: the client's guid for it and the plug-in's object behind it. */
struct FHostSource
{
	FGuid Guid;
	TSharedPtr<FOrvidaLiveLinkSource> Source;
};
