#pragma once

#include "CoreMinimal.h"
#include "Templates/SubclassOf.h"
#include "UObject/Object.h"

class ULiveLinkSourceFactory;

/** How the client picks the frame to show from a source's buffered frames. */
enum class ELiveLinkSourceMode : uint8
{
	/** The newest frame. */
	Latest,
	/** The frame for the engine's time, minus the buffer offset. */
	EngineTime,
	/** The frame for the engine's timecode. */
	Timecode,
};

/**
 * The settings the client keeps for each source; a source may name a derived class through GetSettingsClass.
 *
 * Threads: game thread only.
 */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkSourceSettings : public UObject
{
	DECLARE_CLASS_WITH_PROPERTIES(ULiveLinkSourceSettings, UObject)

public:
	UPROPERTY(EditAnywhere, Category = "Settings")
	ELiveLinkSourceMode Mode = ELiveLinkSourceMode::Latest;

	/** What the factory needs to make the source again, e.g. from a preset. */
	UPROPERTY()
	FString ConnectionString;

	/** The factory that made the source; null when it was made some other way. */
	UPROPERTY()
	TSubclassOf<ULiveLinkSourceFactory> Factory;
};
