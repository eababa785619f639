#pragma once

#include "CoreMinimal.h"
#include "SocketTypes.h"

class FInternetAddr;

/**
 * A socket made by a socket subsystem. Failing calls answer false and leave the socket usable where the
 * system does; none of them throw or log.
 *
 * Threads: a socket is not locked. One thread at a time may use it; closing it while another thread waits on
 * it or receives from it is the caller's fault.
 */
class SOCKETS_API FSocket
{
public:
	FSocket(ESocketType InSocketType, const FString& InSocketDescription)
	    : SocketType(InSocketType)
	    , SocketDescription(InSocketDescription)
	{
	}
	virtual ~FSocket() = default;

	ESocketType GetSocketType() const { return SocketType; }
	const FString& GetDescription() const { return SocketDescription; }

	/** Closes the socket; false when it was already closed. */
	virtual bool Close() = 0;
	virtual bool Bind(const FInternetAddr& Addr) = 0;
	/**
	 * Waits until the condition holds or WaitTime has passed. False on time-out and on error; a wait that fails
	 * still lasts WaitTime, so that a loop around it never spins.
	 */
	virtual bool Wait(ESocketWaitConditions::Type Condition, FTimespan WaitTime) = 0;
	/**
	 * True while data can be received without blocking. For a datagram socket that includes a waiting datagram
	 * of zero bytes; PendingDataSize then gives the next datagram's size.
	 */
	virtual bool HasPendingData(uint32& PendingDataSize) = 0;
	/**
	 * Receives one datagram of at most BufferSize bytes (the rest of a longer one is lost) and the sender's
	 * address. True with BytesRead 0 when nothing was waiting; false when the socket is closed or failed.
	 */
	virtual bool RecvFrom(uint8* Data, int32 BufferSize, int32& BytesRead, FInternetAddr& Source,
	                      ESocketReceiveFlags::Type Flags = ESocketReceiveFlags::None) = 0;
	/** Sends one datagram; BytesSent is what the system took. */
	virtual bool SendTo(const uint8* Data, int32 Count, int32& BytesSent, const FInternetAddr& Destination) = 0;
	/** The address and port the socket is bound to. */
	virtual void GetAddress(FInternetAddr& OutAddr) = 0;
	virtual int32 GetPortNo() = 0;

	virtual bool SetNonBlocking(bool bIsNonBlocking = true) = 0;
	virtual bool SetReuseAddr(bool bAllowReuse = true) = 0;
	virtual bool SetBroadcast(bool bAllowBroadcast = true) = 0;
	/** Asks for Size bytes; NewSize is what the system granted. */
	virtual bool SetReceiveBufferSize(int32 Size, int32& NewSize) = 0;
	virtual bool SetSendBufferSize(int32 Size, int32& NewSize) = 0;
	virtual bool JoinMulticastGroup(const FInternetAddr& GroupAddress, const FInternetAddr& InterfaceAddress) = 0;
	virtual bool SetMulticastLoopback(bool bLoopback) = 0;
	virtual bool SetMulticastTtl(uint8 TimeToLive) = 0;
	virtual bool SetMulticastInterface(const FInternetAddr& InterfaceAddress) = 0;

protected:
	const ESocketType SocketType;
	FString SocketDescription;
};
