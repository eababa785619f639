#pragma once

#include "CoreMinimal.h"
#include "Misc/Guid.h"
#include "OrvidaLiveLinkSource.h"

class FLiveLinkClient;
class ILiveLinkSource;

/** A source the host runs: the client's guid for it and the plug-in's object behind it. */
struct FHostSource
{
	FGuid Guid;
	TSharedPtr<FOrvidaLiveLinkSource> Source;
};

/**
 * The plug-in's source behind Source, with Tap set on it when Tap is set. The host finds only the plug-in's
 * factories, and they make only FOrvidaLiveLinkSource. Game thread.
 */
TSharedPtr<FOrvidaLiveLinkSource> TapHostSource(const TSharedPtr<ILiveLinkSource>& Source, const FOrvidaLiveLinkSource::FDatagramTap& Tap);

/** As the Live Link panel's remove button, the tap cleared first: the client asks the source to shut down, then lets it go. Game thread. */
void RemoveHostSource(FLiveLinkClient& Client, const FHostSource& Entry);
