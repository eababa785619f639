#include "SenderUdpSocket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FSenderUdpSocket::FSenderUdpSocket()
    : Descriptor(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
{
	if (Descriptor < 0)
	{
		Error = std::strerror(errno);
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
