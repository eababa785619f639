#pragma once

#include "SenderDestination.h"

#include <string>
#include <string_view>

/** One unbound IPv4 UDP socket that sends datagrams; closed with the object. One thread uses a socket. */
class FSenderUdpSocket
{
public:
	FSenderUdpSocket();
	~FSenderUdpSocket();
	FSenderUdpSocket(const FSenderUdpSocket&) = delete;
	FSenderUdpSocket& operator=(const FSenderUdpSocket&) = delete;

	/** False, with the system's reason in GetError, when no socket could be made. */
	bool IsOpen() const { return Descriptor >= 0; }
	const std::string& GetError() const { return Error; }
	/** Sends Datagram whole; false when the socket is not open or the system refused it (too large, no route). */
	bool Send(std::string_view Datagram, const FSenderDestination& Destination) const;

private:
	int Descriptor;
	std::string Error;
};
