// The host's Live Link client, in the editor's place (the engine's FLiveLinkClient has an interface of its own; sources
// see only ILiveLinkClient): it owns the sources and their settings, keeps what they push for each subject, and ticks.
//
// 1. Sources. AddSource makes the source's settings object (of its settings class), hands the source the client and
//    a fresh guid, then the settings. RemoveSource asks the source to shut down and releases the client's
//    reference once it agrees; a source that does not agree yet is asked again on each tick. The source's subjects
//    and settings go with it.
// 2. Pushes are queued. Static data and frames pushed from any thread wait for the next Tick, which takes them in
//    on the game thread, static data first. A push that finds more than MaxNewStaticDataPerUpdate static data
//    queued is dropped; one that finds more than MaxNewFrameDataPerUpdate frames queued is dropped with the oldest
//    queued frames down to that bound. Both are counted.
// 3. Subjects. Taken-in static data names the subject's role and must be of the role's static struct; it creates
//    the subject or replaces what it had, and drops the subject's buffered frames and its frames still queued. A
//    subject is created enabled only when no enabled subject has its name; enabling one disables the others of
//    its name; removing a source enables no other subject. Pushes for a source the client does not hold, and
//    frames for a disabled subject, are dropped without a word (counted).
// 4. Frames. A taken-in frame must be of the role's frame struct (refused and counted otherwise). Each subject keeps
//    its source's BufferSettings.MaxNumberOfFrameToBuffered frames, ordered by world time, oldest going first. Each
//    frame taken in is handed to the frame listeners (RegisterForFramePushed).
// 5. Evaluation. After the sources' Update, each tick evaluates every enabled subject once, by its source's Mode:
//    Latest gives the newest frame; Engine Time reads the buffer at the tick's engine time minus EngineTimeOffset
//    and blends the two frames around it (see FLiveLinkFrameInterpolation); before the oldest it gives the oldest,
//    after the newest the newest. EvaluateFrame_AnyThread hands that frame out until the next tick. A disabled
//    subject's buffered frames are dropped on the tick.
// 6. Presets. GetSourcePreset copies a source's settings (every reflected property, with the settings' mode, buffer
//    settings and factory); CreateSource makes a source again from such a copy as the engine applies a preset: through
//    the default object of the settings' factory, with their connection string, under the preset's guid, then hands
//    the source the client and a copy of the settings. It refuses, with a warning, a preset without settings or
//    factory, a guid the client holds, and a connection string the factory makes nothing of.
// 7. Removal during a tick. A RemoveSource asked for inside Tick (from a source's Update or from a tick binding) is
//    done once the broadcast has ended: releasing the source inside it could destroy a source whose own tick binding
//    is still running.
//
// Threads: AddSource, RemoveSource, Tick, the source queries, GetSourceSettings, OnPropertyChanged, SetSubjectEnabled, OnLiveLinkTicked
// (adding, removing and the broadcast) and the destructor belong to the game thread. The pushes, the subject queries,
// the evaluation, the counters and registering or unregistering a frame listener may be called on any thread.
// Tick holds the client's lock from start to end, OnLiveLinkTicked's broadcast and the frame listeners included, as
// the engine's does: a push or query from another thread waits for the tick to end, so whatever the game thread
// runs inside Tick must not wait for a thread that pushes. Frame listeners run on the game thread, inside Tick,
// after each frame is stored; they may query the client. Unregistering a listener returns only once a running
// tick has ended. Whatever is bound to the client must be unbound before it is destroyed.
#pragma once

#include "CoreMinimal.h"
#include "ILiveLinkClient.h"
#include "ILiveLinkSource.h"
#include "LiveLinkPresetTypes.h"
#include "LiveLinkRole.h"
#include "LiveLinkSourceSettings.h"
#include "LiveLinkTypes.h"
#include "Misc/ScopeLock.h"
#include "Templates/SubclassOf.h"

#include <atomic>

/** A frame the client has taken in for a subject, broadcast on the game thread inside Tick. */
DECLARE_MULTICAST_DELEGATE_TwoParams(FOnLiveLinkFramePushed, const FLiveLinkSubjectKey&, const FLiveLinkFrameDataStruct&)

class LIVELINK_API FLiveLinkClient : public ILiveLinkClient
{
public:
	/**
	 * How many static data and frames may wait for one tick (the engine's LiveLink.Client.MaxNewStaticDataPerUpdate
	 * and MaxNewFrameDataPerUpdate). A source pushing from its own thread while the game thread stalls would
	 * otherwise queue without end; at 64 a source at 120 frames a second may stall half a second.
	 */
	static constexpr int32 MaxNewStaticDataPerUpdate = 64;
	static constexpr int32 MaxNewFrameDataPerUpdate = 64;

	FLiveLinkClient();
	/** Asks every source to shut down, once, and releases them all whatever they answer. */
	~FLiveLinkClient() override;
	FLiveLinkClient(const FLiveLinkClient&) = delete;
	FLiveLinkClient& operator=(const FLiveLinkClient&) = delete;

	/**
	 * Queues the static data (see the top of this file). At the tick it is refused, with a warning, for a subject
	 * without a name, a null or abstract role, and static data of another struct than the role's.
	 */
	void PushSubjectStaticData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, TSubclassOf<ULiveLinkRole> Role,
	                                     FLiveLinkStaticDataStruct&& StaticData) override;
	/** Queues the frame. At the tick an empty frame, or one of another struct than the role's, is refused and counted. */
	void PushSubjectFrameData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkFrameDataStruct&& FrameData) override;
	/** Removes the subject at once; frames still queued for it are refused at the tick, as for any subject without static data. */
	void RemoveSubject_AnyThread(const FLiveLinkSubjectKey& SubjectKey) override;
	FSimpleMulticastDelegate& OnLiveLinkTicked() override { return TickedDelegate; }
	/** Every subject with static data, or the enabled ones only, in the order they were created; the client has no virtual subjects. */
	TArray<FLiveLinkSubjectKey> GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const override;

	/** Calls Delegate with every frame the client takes in from now on, and its subject; returns the handle to unregister it with. */
	FDelegateHandle RegisterForFramePushed(const FOnLiveLinkFramePushed::FDelegate& Delegate);
	/** Unregisters the listener with this handle; an unknown or invalid handle does nothing. */
	void UnregisterForFramePushed(FDelegateHandle Handle);

	/** Makes the source's settings, hands it this client, a new guid and the settings, and returns the guid; a null source gives an invalid guid. */
	FGuid AddSource(TSharedPtr<ILiveLinkSource> Source);
	/** The source's guid, type and a copy of its settings, which the caller owns; empty (null settings) for a guid the client does not hold. */
	FLiveLinkSourcePreset GetSourcePreset(FGuid SourceGuid, UObject* DuplicatedObjectOuter) const;
	/** Makes a source again from a preset (see the top of this file); false when it refused. Game thread. */
	bool CreateSource(const FLiveLinkSourcePreset& SourcePreset);
	/** Shuts the source down and releases it (see the top of this file); an unknown guid, or one being removed, does nothing. */
	void RemoveSource(FGuid SourceGuid);
	/**
	 * Retries pending shutdowns, takes in what was pushed, updates the sources, evaluates the enabled subjects,
	 * broadcasts OnLiveLinkTicked once, then does the removals asked for meanwhile. A Tick inside a Tick does nothing.
	 */
	void Tick();

	/** The sources the client offers, in the order they were added; sources being removed are not among them. */
	TArray<FGuid> GetSourceGuids() const;
	/** What the source says about itself; empty text, or false, for a guid the client does not hold. */
	FText GetSourceType(FGuid SourceGuid) const;
	FText GetSourceMachineName(FGuid SourceGuid) const;
	FText GetSourceStatus(FGuid SourceGuid) const;
	bool IsSourceStillValid(FGuid SourceGuid) const;
	/** The source the client holds under this guid, for the host to reach its own interface; null for a guid it does not hold. */
	TSharedPtr<ILiveLinkSource> GetSource(FGuid SourceGuid) const;
	/** The source's settings, which the client owns and evaluates with from the next tick; null for a guid it does not hold. */
	ULiveLinkSourceSettings* GetSourceSettings(const FGuid& SourceGuid) const;
	/**
	 * What the details panel calls after it changed a property of the source's settings: hands the event to the
	 * source's OnSettingsChanged with its settings. An unknown guid does nothing. Game thread.
	 */
	void OnPropertyChanged(FGuid EntryGuid, const FPropertyChangedEvent& PropertyChangedEvent);

	/** Every subject with static data, enabled or not, in the order the subjects were created: GetSubjects(true, true). */
	TArray<FLiveLinkSubjectKey> GetSubjects() const { return GetSubjects(true, true); }
	/** The subject's role; null for an unknown subject. */
	TSubclassOf<ULiveLinkRole> GetSubjectRole(const FLiveLinkSubjectKey& SubjectKey) const;
	/** Copies the subject's static data into OutStaticData; false, leaving it empty, for an unknown subject. */
	bool GetSubjectStaticData(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkStaticDataStruct& OutStaticData) const;
	/** Copies of the subject's buffered frames, oldest first; empty for an unknown subject. */
	TArray<FLiveLinkFrameDataStruct> GetFrames(const FLiveLinkSubjectKey& SubjectKey) const;

	/**
	 * Whether the subject is enabled now, or, with bForThisFrame, whether it was the one of its name that this tick
	 * evaluated. False for an unknown subject.
	 */
	bool IsSubjectEnabled(const FLiveLinkSubjectKey& SubjectKey, bool bForThisFrame) const;
	/** Enables the subject and disables the others of its name (as the engine does, even for an unknown subject), or disables it. */
	void SetSubjectEnabled(const FLiveLinkSubjectKey& SubjectKey, bool bEnabled);
	/**
	 * Copies the static data and the frame this tick evaluated for the enabled subject of this name into OutFrame,
	 * when Role is the subject's role or one it derives from; false, leaving OutFrame as it was, when no subject of
	 * the name was enabled this tick, when it had no frame to evaluate, or for another role.
	 */
	bool EvaluateFrame_AnyThread(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame);

	/** Frames refused since the client was made: not of their role's struct, or found no static data for their subject. */
	int64 GetRefusedFrameCount() const { return RefusedFrameCount.load(std::memory_order_relaxed); }
	/** Static data refused since the client was made. */
	int64 GetRefusedStaticDataCount() const { return RefusedStaticDataCount.load(std::memory_order_relaxed); }
	/** Pushes dropped without a word: for a source the client does not hold, frames of a disabled subject, and what the queue bound let go. */
	int64 GetIgnoredPushCount() const { return IgnoredPushCount.load(std::memory_order_relaxed); }

private:
	struct FSourceEntry
	{
		FGuid Guid;
		TSharedPtr<ILiveLinkSource> Source;
		/** Made by AddSource; marked pending kill when the source is released. */
		ULiveLinkSourceSettings* Settings = nullptr;
		/** Set once RemoveSource has asked it to shut down; it is no longer updated or offered. */
		bool bRemovalRequested = false;
	};

	struct FSubjectEntry
	{
		TSubclassOf<ULiveLinkRole> Role;
		/** The struct every frame of the subject must be: the role's frame struct. */
		const UScriptStruct* FrameStruct = nullptr;
		FLiveLinkStaticDataStruct StaticData;
		/** Oldest first by world time, at most the source's MaxNumberOfFrameToBuffered. */
		TArray<FLiveLinkFrameDataStruct> Frames;
		bool bEnabled = false;
		/** Whether the last tick evaluated it as the enabled subject of its name. */
		bool bEnabledThisFrame = false;
		/** What the last tick evaluated; empty when the subject was disabled or had no frame then. */
		FLiveLinkFrameDataStruct Evaluated;
	};

	struct FPendingStaticData
	{
		FLiveLinkSubjectKey SubjectKey;
		TSubclassOf<ULiveLinkRole> Role;
		FLiveLinkStaticDataStruct StaticData;
	};

	struct FPendingFrame
	{
		FLiveLinkSubjectKey SubjectKey;
		FLiveLinkFrameDataStruct FrameData;
	};

	const FSourceEntry* FindSource(FGuid SourceGuid) const;
	/** Keeps Source under Guid with Settings, then hands the source the client and the settings, as the engine does. */
	void AddEntry(FGuid Guid, const TSharedPtr<ILiveLinkSource>& Source, ULiveLinkSourceSettings* Settings);
	/** The settings of a source the client offers; null for one it does not hold or is removing. */
	const ULiveLinkSourceSettings* FindLiveSourceSettings(FGuid SourceGuid) const;
	/** Asks each source whose removal was requested to shut down and releases those that agree. Needs ClientLock. */
	void ReleaseSourcesThatShutDown();
	/** Moves what was pushed since the last tick into the subjects and hands each frame to the listeners. Needs ClientLock. */
	void TakeInPushed();
	void TakeInStaticData(FPendingStaticData&& Pending, TArray<FPendingFrame>& FramesToTakeIn);
	void TakeInFrame(FPendingFrame&& Pending);
	/** Evaluates each enabled subject at EngineTime by its source's settings, and forgets what the disabled ones hold. Needs ClientLock. */
	void EvaluateSubjects(double EngineTime);
	/** The role object that answers for RoleClass, made on first use; null for an abstract class. Needs ClientLock. */
	const ULiveLinkRole* GetRoleObject(UClass* RoleClass);

	// Game thread only, with no lock, as the engine's.
	FSimpleMulticastDelegate TickedDelegate;

	/**
	 * Protects everything below but the counters, and is held for the whole of Tick (see the top of this file).
	 * Recursive, so that the game thread may push and query from inside the tick.
	 */
	mutable FCriticalSection ClientLock;

	TArray<FSourceEntry> Sources;
	/** Removals asked for while Tick ran, done once its broadcast has ended. */
	TArray<FGuid> DeferredRemovals;
	bool bIsTicking = false;

	TArray<FPendingStaticData> PendingStaticData;
	TArray<FPendingFrame> PendingFrames;

	TMap<FLiveLinkSubjectKey, FSubjectEntry> Subjects;
	/** One object per role class, so that the role can be asked for its structs. */
	TMap<UClass*, TSharedPtr<ULiveLinkRole>> RoleObjects;

	FOnLiveLinkFramePushed FramePushedDelegate;

	std::atomic<int64> RefusedFrameCount{0};
	std::atomic<int64> RefusedStaticDataCount{0};
	std::atomic<int64> IgnoredPushCount{0};
};
