#pragma once

#include "CoreMinimal.h"
#include "IPAddress.h"
#include "SocketTypes.h"

class FSocket;

SOCKETS_API DECLARE_LOG_CATEGORY_EXTERN(LogSockets, Log, All)

#ifndef PLATFORM_SOCKETSUBSYSTEM
#define PLATFORM_SOCKETSUBSYSTEM FName(TEXT("UNIX"))
#endif

/** The name of the datagram socket type for CreateSocket. */
#define NAME_DGram FName(TEXT("DGram"))
#define NAME_Stream FName(TEXT("Stream"))

/**
 * Makes and destroys sockets and addresses. Threads: every operation may be called from any thread.
 */
class SOCKETS_API ISocketSubsystem
{
public:
	/** The subsystem of that name: the platform's for PLATFORM_SOCKETSUBSYSTEM or NAME_None, null for any other. */
	static ISocketSubsystem* Get(const FName& SubsystemName = NAME_None);

	virtual ~ISocketSubsystem() = default;

	/** A new socket of type NAME_DGram or NAME_Stream, or null when the system refuses or the type is unknown. */
	virtual FSocket* CreateSocket(const FName& SocketType, const FString& SocketDescription, bool bForceUDP = false) = 0;
	/** As above, of the protocol FNetworkProtocolTypes names (NAME_None: the platform's default); null for one it lacks. */
	virtual FSocket* CreateSocket(const FName& SocketType, const FString& SocketDescription, const FName& ProtocolName) = 0;
	/** Closes (when still open) and frees a socket that this subsystem made; null is ignored. */
	virtual void DestroySocket(FSocket* Socket) = 0;
	/** An empty address (0.0.0.0:0). */
	virtual TSharedRef<FInternetAddr> CreateInternetAddr() = 0;
	/** The text of the last error the system reported on this thread. */
	virtual FString GetLastErrorText() = 0;
};
