#pragma once

#include "CoreMinimal.h"
#include "Features/IModularFeature.h"
#include "LiveLinkRole.h"
#include "LiveLinkTypes.h"
#include "Templates/SubclassOf.h"

/**
 * The editor's Live Link client as sources see it.
 *
 * Threads: the *_AnyThread pushes may be called from any thread. OnLiveLinkTicked belongs to the game thread: it
 * is broadcast there once per tick, has no lock, and is added to and removed from there only.
 */
class LIVELINKINTERFACE_API ILiveLinkClient : public IModularFeature
{
public:
	static FName ModularFeatureName;

	~ILiveLinkClient() override = default;

	/**
	 * Sets what the subject is and its static data, creating the subject when it is new. The subject's buffered
	 * frames are dropped: they were made against the static data being replaced.
	 */
	virtual void PushSubjectStaticData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, TSubclassOf<ULiveLinkRole> Role,
	                                             FLiveLinkStaticDataStruct&& StaticData) = 0;
	/** Adds a frame to the subject, which must have received its static data first. */
	virtual void PushSubjectFrameData_AnyThread(const FLiveLinkSubjectKey& SubjectKey, FLiveLinkFrameDataStruct&& FrameData) = 0;
	/** Removes the subject with its frames; no other subject of its name is enabled in its place. An unknown subject: nothing. */
	virtual void RemoveSubject_AnyThread(const FLiveLinkSubjectKey& SubjectKey) = 0;

	/**
	 * The subjects the client holds: with bIncludeDisabledSubject, also those it keeps disabled (every one of a name
	 * but the enabled one); with bIncludeVirtualSubject, also the virtual ones. Game thread.
	 */
	virtual TArray<FLiveLinkSubjectKey> GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const = 0;

	/** The notification that the client broadcasts on each of its ticks. */
	virtual FSimpleMulticastDelegate& OnLiveLinkTicked() = 0;
};
