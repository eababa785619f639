#pragma once

#include "CoreMinimal.h"
#include "HostRateMeter.h"
#include "HostSnapshot.h"
#include "HostSource.h"
#include "HostTakeList.h"
#include "LiveLinkTypes.h"
#include "Misc/Guid.h"

#include <map>
#include <memory>
#include <mutex>

class FLiveLinkClient;
class FTakeRecorder;

/**
 * Builds the host's snapshot from the engine's state: the sources' status, options, stream health and ring, the
 * rate at which each source receives, the scene time of the last frame each source published and the latest frame
 * of each subject (watched as the client accepts them), the subjects' roles and static data, the Take Recorder and
 * the takes it recorded.
 *
 * Threads: the constructor, the destructor and Build belong to the game thread, and so do the rate meters and the
 * take list. The frame listener runs on whichever thread pushed the frame; Lock protects LastSceneTimes and
 * LastFrames between it and Build. The client must outlive the builder.
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
	void AddSubjects(FHostSnapshot& Snapshot) const;

	FLiveLinkClient& Client;
	const FTakeRecorder& TakeRecorder;
	FDelegateHandle FramePushedHandle;
	/** By source guid, as its string: the rate of the source's datagrams. */
	std::map<std::string, FHostRateMeter> ReceivedRates;
	FHostTakeList Takes;

	mutable std::mutex Lock;
	/** By source guid, as its string: the scene time of the last frame the client accepted from the source. */
	std::map<std::string, FQualifiedFrameTime> LastSceneTimes;
	/** By source guid and subject name: the subject's last frame the client accepted. */
	std::map<std::pair<std::string, std::string>, FHostFrameSnapshot> LastFrames;
};
