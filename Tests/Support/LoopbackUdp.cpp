#include "LoopbackUdp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace LoopbackUdp
{
namespace
{
sockaddr_in LoopbackAddress(uint16_t Port)
{
	sockaddr_in Address{};
	Address.sin_family = AF_INET;
	Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	Address.sin_port = htons(Port);
	return Address;
}

int OpenBound(uint16_t Port, bool bAddressReuse = false)
{
	const int Descriptor = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
	if (Descriptor < 0)
	{
		throw std::runtime_error("socket() failed");
	}
	const int Reuse = 1;
	if (bAddressReuse && ::setsockopt(Descriptor, SOL_SOCKET, SO_REUSEADDR, &Reuse, sizeof(Reuse)) != 0)
	{
		::close(Descriptor);
		throw std::runtime_error("setsockopt(SO_REUSEADDR) failed");
	}
	const sockaddr_in Address = LoopbackAddress(Port);
	if (::bind(Descriptor, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) != 0)
	{
		::close(Descriptor);
		return -1;
	}
	return Descriptor;
}

uint16_t BoundPort(int Descriptor)
{
	sockaddr_in Address{};
	socklen_t Length = sizeof(Address);
	::getsockname(Descriptor, reinterpret_cast<sockaddr*>(&Address), &Length);
	return ntohs(Address.sin_port);
}
} // namespace

uint16_t PickFreePort()
{
	const int Descriptor = OpenBound(0);
	if (Descriptor < 0)
	{
		throw std::runtime_error("no free port on 127.0.0.1");
	}
	const uint16_t Port = BoundPort(Descriptor);
	::close(Descriptor);
	return Port;
}

FSender::FSender()
    : Descriptor(OpenBound(0))
{
	if (Descriptor < 0)
	{
		throw std::runtime_error("cannot bind a sender on 127.0.0.1");
	}
}

FSender::~FSender() { ::close(Descriptor); }

bool FSender::Send(uint16_t Port, const void* Data, size_t Size) const
{
	const sockaddr_in Address = LoopbackAddress(Port);
	return ::sendto(Descriptor, Data, Size, 0, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) == ssize_t(Size);
}

uint16_t FSender::GetPort() const { return BoundPort(Descriptor); }

FBinding::FBinding(uint16_t Port, bool bAddressReuse)
    : Descriptor(OpenBound(Port, bAddressReuse))
    , bBound(Descriptor >= 0)
{
}

FBinding::~FBinding()
{
	if (bBound)
	{
		::close(Descriptor);
	}
}
} // namespace LoopbackUdp
