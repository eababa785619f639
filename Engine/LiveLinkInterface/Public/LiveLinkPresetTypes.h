#pragma once

#include "CoreMinimal.h"
#include "LiveLinkSourceSettings.h"

/** One source as a preset keeps it: its guid and a copy of its settings, which name its factory and connection string. */
USTRUCT()
struct FLiveLinkSourcePreset
{
	UPROPERTY()
	FGuid Guid;

	UPROPERTY(Instanced)
	ULiveLinkSourceSettings* Settings = nullptr;

	UPROPERTY()
	FText SourceType;
};
