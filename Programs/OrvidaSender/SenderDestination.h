#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <string_view>

/** Where datagrams go: an IPv4 address and a port. */
struct FSenderDestination
{
	sockaddr_in Address{};
	/** As the user wrote it, for messages. */
	std::string Text;

	/** Reads "HOST:PORT", HOST a dotted quad or "localhost", PORT 1 to 65535; nothing for anything else. */
	static std::optional<FSenderDestination> Parse(std::string_view Text);
	uint16_t GetPort() const { return ntohs(Address.sin_port); }
};
