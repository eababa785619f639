#include "SocketsBSD.h"

#include "IPAddressBSD.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace
{
const sockaddr_in& StorageOf(const FInternetAddr& Addr) { return static_cast<const FInternetAddrBSD&>(Addr).GetStorage(); }
} // namespace

FSocketBSD::FSocketBSD(int InDescriptor, ESocketType InSocketType, const FString& InSocketDescription)
    : FSocket(InSocketType, InSocketDescription)
    , Descriptor(InDescriptor)
{
}

FSocketBSD::~FSocketBSD() { Close(); }

bool FSocketBSD::Close()
{
	if (Descriptor < 0)
	{
		return false;
	}
	const bool bClosed = ::close(Descriptor) == 0;
	Descriptor = -1;
	return bClosed;
}

bool FSocketBSD::Bind(const FInternetAddr& Addr)
{
	const sockaddr_in& Storage = StorageOf(Addr);
	return ::bind(Descriptor, reinterpret_cast<const sockaddr*>(&Storage), sizeof(Storage)) == 0;
}

bool FSocketBSD::Wait(ESocketWaitConditions::Type Condition, FTimespan WaitTime)
{
	WaitCalls.fetch_add(1, std::memory_order_relaxed);
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::nanoseconds(WaitTime.GetTicks() * 100);
	short Events = 0;
	if (Condition == ESocketWaitConditions::WaitForRead || Condition == ESocketWaitConditions::WaitForReadOrWrite)
	{
		Events |= POLLIN;
	}
	if (Condition == ESocketWaitConditions::WaitForWrite || Condition == ESocketWaitConditions::WaitForReadOrWrite)
	{
		Events |= POLLOUT;
	}
	for (;;)
	{
		const auto Remaining = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
		pollfd Poll{Descriptor, Events, 0};
		// Rounded up, so that a wait of less than a millisecond still waits.
		const int TimeoutMs = Remaining.count() <= 0 ? 0 : int(std::min<int64>(Remaining.count() + 1, 1 << 30));
		const int Ready = ::poll(&Poll, 1, TimeoutMs);
		if (Ready > 0 && (Poll.revents & Events) != 0)
		{
			return true;
		}
		if (Ready < 0 && errno == EINTR)
		{
			continue;
		}
		if (Ready != 0)
		{
			// An error, or a descriptor poll cannot watch: sit out the wait rather than return at once.
			std::this_thread::sleep_until(Deadline);
		}
		return false;
	}
}

bool FSocketBSD::HasPendingData(uint32& PendingDataSize)
{
	PendingDataSize = 0;
	if (SocketType == SOCKTYPE_Datagram)
	{
		// MSG_TRUNC makes the peek report the whole datagram's length, and a datagram of zero bytes counts as
		// pending: were it not, it would stay at the head of the queue and hide every datagram behind it.
		uint8 Probe = 0;
		const ssize_t Length = ::recv(Descriptor, &Probe, sizeof(Probe), MSG_PEEK | MSG_DONTWAIT | MSG_TRUNC);
		if (Length < 0)
		{
			return false;
		}
		PendingDataSize = uint32(Length);
		return true;
	}
	int Available = 0;
	if (::ioctl(Descriptor, FIONREAD, &Available) != 0)
	{
		return false;
	}
	PendingDataSize = uint32(Available);
	return Available > 0;
}

bool FSocketBSD::RecvFrom(uint8* Data, int32 BufferSize, int32& BytesRead, FInternetAddr& Source, ESocketReceiveFlags::Type Flags)
{
	BytesRead = 0;
	const int SystemFlags = ((Flags & ESocketReceiveFlags::Peek) ? MSG_PEEK : 0) | ((Flags & ESocketReceiveFlags::WaitAll) ? MSG_WAITALL : 0);
	sockaddr_in& Storage = static_cast<FInternetAddrBSD&>(Source).GetStorage();
	socklen_t StorageLength = sizeof(Storage);
	const ssize_t Received =
	    ::recvfrom(Descriptor, Data, size_t(BufferSize > 0 ? BufferSize : 0), SystemFlags, reinterpret_cast<sockaddr*>(&Storage), &StorageLength);
	if (Received >= 0)
	{
		BytesRead = int32(Received);
		return true;
	}
	return errno == EAGAIN || errno == EWOULDBLOCK;
}

bool FSocketBSD::SendTo(const uint8* Data, int32 Count, int32& BytesSent, const FInternetAddr& Destination)
{
	const sockaddr_in& Storage = StorageOf(Destination);
	const ssize_t Sent = ::sendto(Descriptor, Data, size_t(Count > 0 ? Count : 0), 0, reinterpret_cast<const sockaddr*>(&Storage), sizeof(Storage));
	BytesSent = Sent >= 0 ? int32(Sent) : 0;
	return Sent >= 0;
}

void FSocketBSD::GetAddress(FInternetAddr& OutAddr)
{
	sockaddr_in& Storage = static_cast<FInternetAddrBSD&>(OutAddr).GetStorage();
	socklen_t StorageLength = sizeof(Storage);
	::getsockname(Descriptor, reinterpret_cast<sockaddr*>(&Storage), &StorageLength);
}

int32 FSocketBSD::GetPortNo()
{
	FInternetAddrBSD Address;
	GetAddress(Address);
	return Address.GetPort();
}

bool FSocketBSD::SetNonBlocking(bool bIsNonBlocking)
{
	const int Flags = ::fcntl(Descriptor, F_GETFL, 0);
	if (Flags < 0)
	{
		return false;
	}
	return ::fcntl(Descriptor, F_SETFL, bIsNonBlocking ? (Flags | O_NONBLOCK) : (Flags & ~O_NONBLOCK)) == 0;
}

bool FSocketBSD::SetIntOption(int Level, int Name, int Value) { return ::setsockopt(Descriptor, Level, Name, &Value, sizeof(Value)) == 0; }

bool FSocketBSD::SetReuseAddr(bool bAllowReuse) { return SetIntOption(SOL_SOCKET, SO_REUSEADDR, bAllowReuse ? 1 : 0); }

bool FSocketBSD::SetBroadcast(bool bAllowBroadcast) { return SetIntOption(SOL_SOCKET, SO_BROADCAST, bAllowBroadcast ? 1 : 0); }

bool FSocketBSD::SetBufferSize(int Name, int32 Size, int32& NewSize)
{
	const bool bSet = SetIntOption(SOL_SOCKET, Name, Size);
	int Granted = 0;
	socklen_t Length = sizeof(Granted);
	::getsockopt(Descriptor, SOL_SOCKET, Name, &Granted, &Length);
	// Linux reports twice what it keeps for data; the half is what was granted.
	NewSize = Granted / 2;
	return bSet;
}

bool FSocketBSD::SetReceiveBufferSize(int32 Size, int32& NewSize) { return SetBufferSize(SO_RCVBUF, Size, NewSize); }

bool FSocketBSD::SetSendBufferSize(int32 Size, int32& NewSize) { return SetBufferSize(SO_SNDBUF, Size, NewSize); }

bool FSocketBSD::JoinMulticastGroup(const FInternetAddr& GroupAddress, const FInternetAddr& InterfaceAddress)
{
	ip_mreq Request{};
	Request.imr_multiaddr = StorageOf(GroupAddress).sin_addr;
	Request.imr_interface = StorageOf(InterfaceAddress).sin_addr;
	return ::setsockopt(Descriptor, IPPROTO_IP, IP_ADD_MEMBERSHIP, &Request, sizeof(Request)) == 0;
}

bool FSocketBSD::SetMulticastLoopback(bool bLoopback)
{
	const unsigned char Value = bLoopback ? 1 : 0;
	return ::setsockopt(Descriptor, IPPROTO_IP, IP_MULTICAST_LOOP, &Value, sizeof(Value)) == 0;
}

bool FSocketBSD::SetMulticastTtl(uint8 TimeToLive)
{
	const unsigned char Value = TimeToLive;
	return ::setsockopt(Descriptor, IPPROTO_IP, IP_MULTICAST_TTL, &Value, sizeof(Value)) == 0;
}

bool FSocketBSD::SetMulticastInterface(const FInternetAddr& InterfaceAddress)
{
	const in_addr Interface = StorageOf(InterfaceAddress).sin_addr;
	return ::setsockopt(Descriptor, IPPROTO_IP, IP_MULTICAST_IF, &Interface, sizeof(Interface)) == 0;
}
