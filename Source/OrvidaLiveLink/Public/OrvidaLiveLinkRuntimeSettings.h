#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "OrvidaLiveLinkRuntimeSettings.generated.h"

/** Implements the settings Orvida Live Link plugin. */
UCLASS(config = Game, defaultconfig)
class ORVIDALIVELINK_API UOrvidaLiveLinkRuntimeSettings : public UObject
{
	GENERATED_BODY()

public:
	UOrvidaLiveLinkRuntimeSettings();

	/** An IPv4 address in dotted decimal; anything else makes the panel start with 0.0.0.0. */
	UPROPERTY(config, EditAnywhere, Category = "Orvida", meta = (ToolTip = "Specify a default network server address"))
	FString NetworkServerAddressByDefault;

	/** Taken modulo 65536 by the panel: 70000 shows 4464, -1 shows 65535. */
	UPROPERTY(config, EditAnywhere, Category = "Orvida", meta = (ToolTip = "Specify a default network port index for a Technocrane Camera"))
	int32 NetworkPortIdByDefault;

	UPROPERTY(config, EditAnywhere, Category = "Orvida", meta = (ToolTip = "auto update the lens settings"))
	bool bAutoLens;

	UPROPERTY(config, EditAnywhere, Category = "Orvida", meta = (ToolTip = "auto update the scene/ take settings"))
	bool bAutoSceneTakeUpdate;

	UPROPERTY(config, EditAnywhere, Category = "Orvida", meta = (ToolTip = "auto start / stop recording"))
	bool bAutoRecord;

	/** What the panel's "Subject Name" box starts with; a blank one makes the panel show "Orvida - Camera". */
	UPROPERTY(config, EditAnywhere, Category = "Orvida", meta = (ToolTip = "Specify the default name of a new source's Live Link subject"))
	FString SubjectNameByDefault;
};
