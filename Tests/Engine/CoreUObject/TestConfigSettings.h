#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "TestConfigSettings.generated.h"

/** A config class written the way a plug-in writes its settings, for the reflection and config tests. */
UCLASS(config = Game, defaultconfig)
class UTestConfigSettings : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY(config, EditAnywhere, Category = "Test", meta = (ToolTip = "Address to listen on"))
	FString Address = TEXT("0.0.0.0");

	UPROPERTY(config, EditAnywhere, Category = "Test", meta = (ToolTip = "Port to listen on"))
	int32 Port = 9001;

	UPROPERTY(config, EditAnywhere, Category = "Test")
	bool bEnabled = true;

	UPROPERTY(config, EditAnywhere, Category = "Test")
	float Gain = 1.5f;

	/** Edited but never saved: a save must leave it out of the file. */
	UPROPERTY(EditAnywhere, Category = "Test")
	int32 SessionOnly = 3;
};
