#include "SenderUdpSocket.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FSenderUdpSocket::FSenderUdpSocket(std::optional<uint8_t> MulticastTtl)
    : Descriptor(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
{
	if (Descriptor < 0)
	{
		Error = std::strerror(errno);
		return;
	}
	const unsigned char Ttl = MulticastTtl.value_or(1);
	if (MulticastTtl && setsockopt(Descriptor, IPPROTO_IP, IP_MULTICAST_TTL, &Ttl, sizeof(Ttl)) != 0)
	{
		Error = std::string("multicast time to live: ") + std::strerror(errno);
		close(Descriptor);
		Descriptor = -1;
	}
}

FSenderUdpSocket::~FSenderUdpSocket()
{
	if (Descriptor >= 0)
	{
		close(Descriptor);
	}
}

bool FSenderUdpSocket::Send(std::string_view Datagram, const FSenderDestination& Destination) const
{
	if (Descriptor < 0)
	{
		return false;
	}
	const ssize_t Sent =
	    sendto(Descriptor, Datagram.data(), Datagram.size(), 0, reinterpret_cast<const sockaddr*>(&Destination.Address), sizeof(Destination.Address));
	return Sent == ssize_t(Datagram.size());
}
