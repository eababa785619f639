#pragma once

#include "CoreMinimal.h"
#include "HostRateMeter.h"
#include "HostSnapshot.h"
#include "HostSource.h"
#include "LiveLinkTypes.h"
#include "Misc/Guid.h"

#include <map>
#include <memory>
#include <mutex>

class FLiveLinkClient;
class FTakeRecorder;

/**
 * Builds the host's snapshot from the engine's state: the sources' status, stream health and ring, the rate at
 * which each source receives, the scene time of the last frame each source published (watched as the client
 * accepts it), and the Take Recorder.
 *
 * Threads: the constructor, the destructor and Build belong to the game thread, and so do the rate meters. The frame listener runs on
 * whichever thread pushed the frame; Lock protects LastSceneTimes between it and Build. The client must outlive
 * the builder.
 */
class FHostSnapshotBuilder
{
public:
	FHostSnapshotBuilder(FLiveLinkClient& InClient, const FTakeRecorder& InTakeRecorder);
	/** Stops watching the client's frames. */
	~FHostSnapshotBuilder();
	FHostSnapshotBuilder(const FHostSnapshotBuilder&) = delete;
	FHostSnapshotBuilder& operator=(const FHostSnapshotBuilder&) = delete;

	/** A new snapshot of the sources (in this order) and the Take Recorder, for the caller to complete and publish. */
	std::shared_ptr<FHostSnapshot> Build(const TArray<FHostSource>& Sources, int64_t TickCount);

private:
	void HandleFramePushed(const FLiveLinkSubjectKey& SubjectKey, const FLiveLinkFrameDataStruct& FrameData);

	FLiveLinkClient& Client;
	const FTakeRecorder& TakeRecorder;
	FDelegateHandle FramePushedHandle;
	/** By source guid, as its string: the rate of the source's datagrams. */
	std::map<std::string, FHostRateMeter> ReceivedRates;

	mutable std::mutex Lock;
	/** By source guid, as its string: the scene time of the last frame the client accepted from the source. */
	std::map<std::string, FQualifiedFrameTime> LastSceneTimes;
};
