#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class FTakeRecorder;

/** Where a recording is in its life. */
UENUM(BlueprintType)
enum class ETakeRecorderState : uint8
{
	CountingDown,
	PreRecord,
	TickingAfterPre,
	Started,
	Stopped,
	Cancelled,
};

/**
 * One recording, from the moment it is asked for: it counts down, then records until it is stopped. A stop while
 * it counts down cancels it, and nothing is recorded. It stays allocated until the Take Recorder that made it is
 * destroyed, so a pointer kept past its end is safe to read.
 *
 * Threads: the game thread alone.
 */
UCLASS(BlueprintType)
class TAKERECORDER_API UTakeRecorder : public UObject
{
	DECLARE_CLASS_INTRINSIC(UTakeRecorder, UObject)

public:
	/** The recording asked for and not yet stopped or cancelled, counting down included; null when there is none. */
	static UTakeRecorder* GetActiveRecorder();

	/** Seconds left before the recording starts; 0 once it has. */
	float GetCountdownSeconds() const { return CountdownSeconds; }
	ETakeRecorderState GetState() const { return State; }

	/** Stops the recording, or cancels it while it counts down; nothing once it has ended. */
	void Stop();

private:
	friend class FTakeRecorder;

	/** Null once the recording has ended. */
	FTakeRecorder* Recorder = nullptr;
	float CountdownSeconds = 0.0f;
	ETakeRecorderState State = ETakeRecorderState::CountingDown;
};
