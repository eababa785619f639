// The host's Live Link client, in the editor's place (the engine's FLiveLinkClient has an interface of its own; sources
// see only ILiveLinkClient): it owns the sources, keeps what they push for each subject, and ticks them.
//
// 1. Sources. AddSource keeps the source and hands it the client and a fresh guid. RemoveSource asks the source to
//    shut down and releases the client's reference once it agrees; a source that does not agree yet is asked
//    again on each tick. The source's subjects go with it.
// 2. Removal during a tick. Tick calls each source's Update and then broadcasts OnLiveLinkTicked. A RemoveSource
//    asked for inside Tick (from a source's Update or from a tick binding) is done once the broadcast has ended:
//    releasing the source inside it could destroy a source whose own tick binding is still running.
// 3. Subjects. Static data names the subject's role and must be of the role's static struct; it creates the
//    subject or replaces what it had, and drops the subject's buffered frames. A frame must be of the role's frame
//    struct and is refused, and counted, when the subject has no static data or the struct differs.
// 4. Frames. Each subject keeps its latest MaxFramesPerSubject frames in the order they were pushed, newest last.
//    Each accepted frame is then handed to the frame listeners (RegisterForFramePushed).
//
// Threads: AddSource, RemoveSource, Tick, the source queries, OnLiveLinkTicked (adding, removing and the
// broadcast) and the destructor belong to the game thread. The pushes, the subject queries, the counters and
// registering or unregistering a frame listener may be called on any thread. Frame listeners run on the pushing
// thread, after the frame is stored and outside the subject lock, so a listener may query the client; they run
// one broadcast at a time, so a listener must not wait for another thread that is pushing, and unregistering
// returns only once a running broadcast has ended. Whatever is bound to the client must be unbound before it is
// destroyed.
#pragma once

#include "CoreMinimal.h"
#include "ILiveLinkClient.h"
#include "ILiveLinkSource.h"
#include "LiveLinkRole.h"
#include "LiveLinkTypes.h"
#include "Misc/ScopeLock.h"
#include "Templates/SubclassOf.h"

#include <atomic>

/** A frame the client has stored for a subject, broadcast on the pushing thread. */
DECLARE_MULTICAST_DELEGATE_TwoParams(FOnLiveLinkFramePushed, const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct&)

class LIVELINK_API FLiveLinkClient : public ILiveLinkClient
{
public:
	/**
	 * How many frames a subject keeps. A source may push without end while nothing reads its frames; the bound
	 * keeps each subject's memory flat (256 frames is over four seconds at 60 frames per second).
	 */
	static constexpr int32 MaxFramesPerSubject = 256;

	FLiveLinkClient();
	/** Asks every source to shut down, once, and releases them all whatever they answer. */
	~FLiveLinkClient() override;
	FLiveLinkClient(const FLiveLinkClient&) = delete;
	FLiveLinkClient& operator=(const FLiveLinkClient&) = delete;

	/** Refuses, with a warning, a subject without a name, a null or abstract role, and static data of another struct than the role's. */
	void PushSubjectStaticData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, TSubclassOf<ULiveLinkRole> Role, FLiveLinkStaticDataStruct&& StaticData) override;
	/** Refuses and counts a frame of a subject without static data, an empty frame, and a frame of another struct than the role's. */
	void PushSubjectFrameData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkFrameDataStruct&& FrameData) override;
	FSimpleMulticastDelegate& OnLiveLinkTicked() override { return TickedDelegate; }

	/** Calls Delegate with every frame the client accepts from now on, and its subject; returns the handle to unregister it with. */
	FDelegateHandle RegisterForFramePushed(const FOnLiveLinkFramePushed::FDelegate& Delegate);
	/** Unregisters the listener with this handle; an unknown or invalid handle does nothing. */
	void UnregisterForFramePushed(FDelegateHandle Handle);

	/** Keeps the source, hands it this client and a new guid, and returns the guid; a null source gives an invalid guid. */
	FGuid AddSource(TSharedPtr<ILiveLinkSource> Source);
	/** Shuts the source down and releases it (see the top of this file); an unknown guid, or one being removed, does nothing. */
	void RemoveSource(FGuid SourceGuid);
	/** Retries pending shutdowns, updates the sources, broadcasts OnLiveLinkTicked once, then does the removals asked for meanwhile. A Tick inside a Tick does nothing. */
	void Tick();

	/** The sources the client offers, in the order they were added; sources being removed are not among them. */
	TArray<FGuid> GetSourceGuids() const;
	/** What the source says about itself; empty text, or false, for a guid the client does not hold. */
	FText GetSourceType(FGuid SourceGuid) const;
	FText GetSourceMachineName(FGuid SourceGuid) const;
	FText GetSourceStatus(FGuid SourceGuid) const;
	bool IsSourceStillValid(FGuid SourceGuid) const;

	/** Every subject with static data, in the order the subjects were created. */
	TArray<FLiveLinkSubjectKey> GetSubjects() const;
	/** The subject's role; null for an unknown subject. */
	TSubclassOf<ULiveLinkRole> GetSubjectRole(const FLiveLinkSubjectKey& SubjectKey) const;
	/** Copies the subject's static data into OutStaticData; false, leaving it empty, for an unknown subject. */
	bool GetSubjectStaticData(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkStaticDataStruct& OutStaticData) const;
	/** Copies of the subject's buffered frames, oldest first; empty for an unknown subject. */
	TArray<FLiveLinkFrameDataStruct> GetFrames(const FLiveLinkSubjectKey& SubjectKey) const;

	/** Frames refused since the client was made. */
	int64 GetRefusedFrameCount() const { return RefusedFrameCount.load(std::memory_order_relaxed); }
	/** Static data refused since the client was made. */
	int64 GetRefusedStaticDataCount() const { return RefusedStaticDataCount.load(std::memory_order_relaxed); }

private:
	struct FSourceEntry
	{
		FGuid Guid;
		TSharedPtr<ILiveLinkSource> Source;
		/** Set once RemoveSource has asked it to shut down; it is no longer updated or offered. */
		bool bRemovalRequested = false;
	};

	struct FSubjectEntry
	{
		TSubclassOf<ULiveLinkRole> Role;
		/** The struct every frame of the subject must be: the role's frame struct. */
		const UScriptStruct* FrameStruct = nullptr;
		FLiveLinkStaticDataStruct StaticData;
		/** Shared so that a listener can be handed a stored frame outside the lock while another push drops it. */
		/** Newest last; up to twice MaxFramesPerSubject, of which the newest MaxFramesPerSubject are visible. */
		TArray<TSharedPtr<const FLiveLinkFrameDataStruct>> Frames;
	};

	const FSourceEntry* FindSource(FGuid SourceGuid) const;
	/** Asks each source whose removal was requested to shut down and releases those that agree. */
	void ReleaseSourcesThatShutDown();
	/** The role object that answers for RoleClass, made on first use; null for an abstract class. Needs SubjectLock. */
	const ULiveLinkRole* GetRoleObject(UClass* RoleClass);

	// Game thread only.
	TArray<FSourceEntry> Sources;
	/** Removals asked for while Tick ran, done once its broadcast has ended. */
	TArray<FGuid> DeferredRemovals;
	bool bIsTicking = false;

	/** Protects Subjects and RoleObjects. Never held while a delegate runs or a source is called. */
	mutable FCriticalSection SubjectLock;
	TMap<FLiveLinkSubjectKey, FSubjectEntry> Subjects;
	/** One object per role class, so that the role can be asked for its structs. */
	TMap<UClass*, TSharedPtr<ULiveLinkRole>> RoleObjects;

	std::atomic<int64> RefusedFrameCount{0};
	std::atomic<int64> RefusedStaticDataCount{0};

	// Game thread only.
	FSimpleMulticastDelegate TickedDelegate;

	/** Protects FramePushedDelegate, and is held for its whole broadcast: frames are pushed on any thread. */
	mutable FCriticalSection FramePushedLock;
	FOnLiveLinkFramePushed FramePushedDelegate;
};
