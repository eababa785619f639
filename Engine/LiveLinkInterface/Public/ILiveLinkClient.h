#pragma once

#include "CoreMinimal.h"
#include "Features/IModularFeature.h"
#include "LiveLinkTypes.h"

/**
 * The editor's Live Link client as sources see it.
 *
 * Threads: OnLiveLinkTicked is broadcast on the game thread once per tick; a source may add to it and remove
 * from it on any thread (the notification is thread-safe, and a removal waits for a running broadcast).
 */
class LIVELINKINTERFACE_API ILiveLinkClient : public IModularFeature
{
public:
	static FName ModularFeatureName;

	~ILiveLinkClient() override = default;

	/** The notification that the client broadcasts on each of its ticks. */
	virtual FSimpleMulticastDelegate& OnLiveLinkTicked() = 0;
};
