#include "SenderTestLoopback.h"

#include "WaitUntil.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

FLoopbackReceiver::FLoopbackReceiver()
    : Descriptor(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0))
{
	sockaddr_in Address{};
	Address.sin_family = AF_INET;
	Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	bind(Descriptor, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address));
}

FLoopbackReceiver::~FLoopbackReceiver() { close(Descriptor); }

FSenderDestination FLoopbackReceiver::GetDestination() const
{
	FSenderDestination Destination;
	socklen_t Length = sizeof(Destination.Address);
	getsockname(Descriptor, reinterpret_cast<sockaddr*>(&Destination.Address), &Length);
	Destination.Text = "127.0.0.1:" + std::to_string(Destination.GetPort());
	return Destination;
}

void FLoopbackReceiver::Drain()
{
	char Buffer[65536];
	for (ssize_t Size; (Size = recv(Descriptor, Buffer, sizeof(Buffer), 0)) >= 0;)
	{
		Datagrams.emplace_back(Buffer, size_t(Size));
	}
}

bool FLoopbackReceiver::WaitFor(size_t Count)
{
	return WaitUntil(
	    [this, Count]
	    {
		    Drain();
		    return Datagrams.size() >= Count;
	    });
}
