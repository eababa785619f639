#pragma once

#include "CoreMinimal.h"
#include "Editor/RateMeter.h"
#include "Editor/Snapshot.h"
#include "Editor/Source.h"
#include "Editor/SourceColors.h"
#include "Editor/TakeList.h"
#include "LiveLinkTypes.h"
#include "Misc/Guid.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "StandIn/StandInCameraComponent.h"
#include "StandIn/StandInCineCameraComponent.h"

#include <map>
#include <memory>

class FLiveLinkClient;
class FTakeRecorder;

/**
 * Builds the host's snapshot from the engine's state: the sources' status, options, stream health and ring, the
 * rates at which each source receives, loses and decimates samples and its state in words (FHostStreamState), the
 * tick rate, each source's colour, the scene time of the last frame the client took in from each source
 * (watched as it takes them in), the subjects' roles, static data, whether each is enabled and the frame the client
 * evaluated for it on this tick, the Take Recorder and the takes it recorded. Build follows the client's tick.
 *
 * Each enabled camera subject drives a plain camera and a Cine Camera of the host's, as the engine's Live Link
 * camera controller does on each tick: from the subject's static data and the frame the client evaluated, once per
 * Build. The cameras are made with the subject's first static data (the plain one at 90 degrees, the Cine Camera at
 * 35 mm on a 36 x 24 mm filmback), keep their state from tick to tick, and go when the subject goes.
 *
 * Threads: everything here, the frame listener included (the client calls it inside its tick), belongs to the
 * game thread. The client must outlive the builder.
 */
class FHostSnapshotBuilder
{
public:
	FHostSnapshotBuilder(FLiveLinkClient& InClient, const FTakeRecorder& InTakeRecorder);
	/** Stops watching the client's frames. */
	~FHostSnapshotBuilder();
	FHostSnapshotBuilder(const FHostSnapshotBuilder&) = delete;
	FHostSnapshotBuilder& operator=(const FHostSnapshotBuilder&) = delete;

	/** A new snapshot of the sources (in this order), the subjects and the Take Recorder, for the caller to complete and publish. */
	std::shared_ptr<FHostSnapshot> Build(const TArray<FHostSource>& Sources, int64_t TickCount);

private:
	void HandleFramePushed(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData);
	void AddSubjects(FHostSnapshot& Snapshot);

	FLiveLinkClient& Client;
	const FTakeRecorder& TakeRecorder;
	FDelegateHandle FramePushedHandle;
	/** The rates of a source's counts that its state is judged from. */
	struct FSourceRates
	{
		FHostRateMeter Received;
		FHostRateMeter Samples;
		FHostRateMeter TimecodeGaps;
		FHostRateMeter Dropped;
		FHostRateMeter Decimated;
	};
	/** By source guid, as its string. */
	std::map<std::string, FSourceRates> Rates;
	FHostRateMeter TickRate;
	FHostSourceColors Colors;
	FHostTakeList Takes;
	/**
	 * The recorder keeps its last error until another replaces it; once a take has started recording after it,
	 * the error is history and the snapshot leaves it out. The error there was when the last take began, and
	 * whether one was recording at the last Build.
	 */
	std::string ErrorBeforeTake;
	bool bWasRecording = false;

	/** The cameras one camera subject drives. */
	struct FSubjectCameras
	{
		FStandInCameraComponent Camera;
		FStandInCineCameraComponent CineCamera{36.0f, 24.0f};
	};
	/** By source guid and subject name. */
	std::map<std::pair<std::string, std::string>, FSubjectCameras> Cameras;
	/** By source guid, as its string: the scene time of the last frame the client took in from the source. */
	std::map<std::string, FQualifiedFrameTime> LastSceneTimes;
};
