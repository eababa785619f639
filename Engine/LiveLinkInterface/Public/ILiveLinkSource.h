#pragma once

#include "CoreMinimal.h"
#include "LiveLinkSourceSettings.h"
#include "Templates/SubclassOf.h"

class ILiveLinkClient;
struct FPropertyChangedEvent;

/**
 * A provider of Live Link subjects, owned by the client through a shared pointer.
 *
 * Threads: the client calls every operation on the game thread, in this order: ReceiveClient once, InitializeSettings once, then the
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
	/** The settings class the client makes for this source; a source with its own settings returns a derived class. */
	virtual TSubclassOf<ULiveLinkSourceSettings> GetSettingsClass() const { return ULiveLinkSourceSettings::StaticClass(); }
	/** Called after the user changed a property of the source's settings in the Live Link panel's details. */
	virtual void OnSettingsChanged(ULiveLinkSourceSettings* Settings, const FPropertyChangedEvent& PropertyChangedEvent) {}
};
