#pragma once

#include "SenderDestination.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/** One unbound IPv4 UDP socket that sends datagrams; closed with the object. One thread uses a socket. */
class FSenderUdpSocket
{
public:
	/** With MulticastTtl, datagrams to a multicast group cross that many routers less one; without, the system's 1. */
	explicit FSenderUdpSocket(std::optional<uint8_t> MulticastTtl = std::nullopt);
	~FSenderUdpSocket();
	FSenderUdpSocket(const FSenderUdpSocket&) = delete;
	FSenderUdpSocket& operator=(const FSenderUdpSocket&) = delete;

	/** False, with the system's reason in GetError, when no socket could be made or it refused the time to live. */
	bool IsOpen() const { return Descriptor >= 0; }
	const std::string& GetError() const { return Error; }
	/** Sends Datagram whole; false when the socket is not open or the system refused it (too large, no route). */
	bool Send(std::string_view Datagram, const FSenderDestination& Destination) const;

private:
	int Descriptor;
	std::string Error;
};
