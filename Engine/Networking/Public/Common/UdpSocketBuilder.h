#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"
#include "SocketSubsystem.h"
#include "Sockets.h"

/**
 * Configures and builds a UDP socket. Defaults: non-blocking, not reusable, unbound, no broadcast, no
 * multicast group, multicast loopback off, time to live 1, the system's buffer sizes.
 */
class FUdpSocketBuilder
{
public:
	explicit FUdpSocketBuilder(const FString& InDescription)
	    : Description(InDescription)
	{
	}

	FUdpSocketBuilder& AsBlocking()
	{
		bBlocking = true;
		return *this;
	}
	FUdpSocketBuilder& AsNonBlocking()
	{
		bBlocking = false;
		return *this;
	}
	FUdpSocketBuilder& AsReusable()
	{
		bReusable = true;
		return *this;
	}
	FUdpSocketBuilder& BoundToAddress(const FIPv4Address& Address)
	{
		BoundEndpoint.Address = Address;
		bBound = true;
		return *this;
	}
	FUdpSocketBuilder& BoundToEndpoint(const FIPv4Endpoint& Endpoint)
	{
		BoundEndpoint = Endpoint;
		bBound = true;
		return *this;
	}
	FUdpSocketBuilder& BoundToPort(uint16 Port)
	{
		BoundEndpoint.Port = Port;
		bBound = true;
		return *this;
	}
	FUdpSocketBuilder& JoinedToGroup(const FIPv4Address& GroupAddress) { return JoinedToGroup(GroupAddress, FIPv4Address::Any); }
	FUdpSocketBuilder& JoinedToGroup(const FIPv4Address& GroupAddress, const FIPv4Address& InterfaceAddress)
	{
		JoinedGroups.Add(FGroup{GroupAddress, InterfaceAddress});
		return *this;
	}
	FUdpSocketBuilder& WithBroadcast()
	{
		bBroadcast = true;
		return *this;
	}
	FUdpSocketBuilder& WithMulticastLoopback()
	{
		bMulticastLoopback = true;
		return *this;
	}
	FUdpSocketBuilder& WithMulticastTtl(uint8 TimeToLive)
	{
		MulticastTtl = TimeToLive;
		return *this;
	}
	FUdpSocketBuilder& WithMulticastInterface(const FIPv4Address& InterfaceAddress)
	{
		MulticastInterface = InterfaceAddress;
		return *this;
	}
	FUdpSocketBuilder& WithReceiveBufferSize(int32 SizeInBytes)
	{
		ReceiveBufferSize = SizeInBytes;
		return *this;
	}
	FUdpSocketBuilder& WithSendBufferSize(int32 SizeInBytes)
	{
		SendBufferSize = SizeInBytes;
		return *this;
	}

	operator FSocket*() const { return Build(); }

	/**
	 * Makes the socket as configured. On any failure (no subsystem, no socket, an option or the bind refused)
	 * it writes one error line to LogSockets naming the step, destroys what it made and returns null. A buffer
	 * size the system caps is not a failure.
	 */
	FSocket* Build() const
	{
		ISocketSubsystem* SocketSubsystem = ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM);
		if (SocketSubsystem == nullptr)
		{
			UE_LOG(LogSockets, Error, TEXT("FUdpSocketBuilder: no socket subsystem for %s"), *Description);
			return nullptr;
		}
		FSocket* Socket = SocketSubsystem->CreateSocket(NAME_DGram, Description, FNetworkProtocolTypes::IPv4);
		if (Socket == nullptr)
		{
			UE_LOG(LogSockets, Error, TEXT("FUdpSocketBuilder: failed to create the socket %s (%s)"), *Description, *SocketSubsystem->GetLastErrorText());
			return nullptr;
		}
		const TCHAR* FailedStep = Configure(*Socket);
		if (FailedStep != nullptr)
		{
			UE_LOG(LogSockets, Error, TEXT("FUdpSocketBuilder: the socket %s for %s failed to %s (%s)"), *Description, *BoundEndpoint.ToString(), FailedStep,
			       *SocketSubsystem->GetLastErrorText());
			SocketSubsystem->DestroySocket(Socket);
			return nullptr;
		}
		return Socket;
	}

private:
	struct FGroup
	{
		FIPv4Address Group;
		FIPv4Address Interface;
	};

	// Applies every option in turn; the first one refused names the failure.
	const TCHAR* Configure(FSocket& Socket) const
	{
		if (!Socket.SetNonBlocking(!bBlocking))
		{
			return TEXT("set blocking mode");
		}
		if (!Socket.SetReuseAddr(bReusable))
		{
			return TEXT("set address reuse");
		}
		if (!Socket.SetBroadcast(bBroadcast))
		{
			return TEXT("set broadcast");
		}
		if (bBound && !Socket.Bind(*BoundEndpoint.ToInternetAddr()))
		{
			return TEXT("bind");
		}
		if (!Socket.SetMulticastLoopback(bMulticastLoopback))
		{
			return TEXT("set multicast loopback");
		}
		if (!Socket.SetMulticastTtl(MulticastTtl))
		{
			return TEXT("set multicast time to live");
		}
		if (!Socket.SetMulticastInterface(*FIPv4Endpoint(MulticastInterface, 0).ToInternetAddr()))
		{
			return TEXT("set multicast interface");
		}
		for (const FGroup& Group : JoinedGroups)
		{
			if (!Socket.JoinMulticastGroup(*FIPv4Endpoint(Group.Group, 0).ToInternetAddr(), *FIPv4Endpoint(Group.Interface, 0).ToInternetAddr()))
			{
				return TEXT("join a multicast group");
			}
		}
		int32 GrantedSize = 0;
		if (ReceiveBufferSize > 0 && Socket.SetReceiveBufferSize(ReceiveBufferSize, GrantedSize) && GrantedSize < ReceiveBufferSize)
		{
			UE_LOG(LogSockets, Verbose, TEXT("FUdpSocketBuilder: %s asked for a %d-byte receive buffer and got %d"), *Description, ReceiveBufferSize,
			       GrantedSize);
		}
		if (SendBufferSize > 0)
		{
			Socket.SetSendBufferSize(SendBufferSize, GrantedSize);
		}
		return nullptr;
	}

	FString Description;
	bool bBlocking = false;
	bool bBound = false;
	FIPv4Endpoint BoundEndpoint = FIPv4Endpoint::Any;
	bool bReusable = false;
	bool bBroadcast = false;
	TArray<FGroup> JoinedGroups;
	bool bMulticastLoopback = false;
	uint8 MulticastTtl = 1;
	FIPv4Address MulticastInterface = FIPv4Address::Any;
	int32 ReceiveBufferSize = 0;
	int32 SendBufferSize = 0;
};
