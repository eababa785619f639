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
 * How the client keeps and reads a source's frames (the part of the engine's settings the stand-in evaluates
 * with; the timecode settings are left out).
 */
USTRUCT()
struct FLiveLinkSourceBufferManagementSettings
{
	/** When evaluating with time: how far back from the engine's time the buffer is read, in seconds. */
	float EngineTimeOffset = 0.0f;
	/** Frames each subject keeps; the oldest goes when a newer one comes. */
	int32 MaxNumberOfFrameToBuffered = 10;
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
	ELiveLinkSourceMode Mode = ELiveLinkSourceMode::EngineTime;

	UPROPERTY(EditAnywhere, Category = "Settings")
	FLiveLinkSourceBufferManagementSettings BufferSettings;

	/** What the factory needs to make the source again, e.g. from a preset. */
	UPROPERTY()
	FString ConnectionString;

	/** The factory that made the source; null when it was made some other way. */
	UPROPERTY()
	TSubclassOf<ULiveLinkSourceFactory> Factory;
};
