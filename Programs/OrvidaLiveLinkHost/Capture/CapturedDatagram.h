#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

/** One datagram as a source's tap saw it, waiting to be written to the capture. */
struct FHostCapturedDatagram
{
	/** Shared with the source, which never changes it after handing it on. */
	TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> Bytes;
	FIPv4Endpoint Sender;
	/** Where the source is bound; 0.0.0.0 for a source listening on every address. */
	FIPv4Endpoint Destination;
	int64 ArrivalUnixNanoseconds = 0;
};
