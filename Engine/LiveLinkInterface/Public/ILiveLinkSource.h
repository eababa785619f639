#pragma once

#include "CoreMinimal.h"

class ILiveLinkClient;
class ULiveLinkSourceSettings;

/**
 * A provider of Live Link subjects, owned by the client through a shared pointer.
 *
 * Threads: the client calls every operation on the game thread, in this order: ReceiveClient once, then the
 * queries at will, RequestSourceShutdown until it answers true, and the destructor with the last reference.
 */
class ILiveLinkSource
{
public:
	virtual ~ILiveLinkSource() {}
	virtual void ReceiveClient(ILiveLinkClient* InClient, FGuid InSourceGuid) = 0;
	virtual void InitializeSettings(ULiveLinkSourceSettings* Settings) {}
	virtual void Update() {}
	virtual bool CanBeDisplayedInUI() const { return true; }
	virtual bool IsSourceStillValid() const = 0;
	/** True once the source may be destroyed; the client asks again while it answers false. */
	virtual bool RequestSourceShutdown() = 0;
	virtual FText GetSourceType() const = 0;
	virtual FText GetSourceMachineName() const = 0;
	virtual FText GetSourceStatus() const = 0;
};
