#pragma once

#include <optional>
#include <string>

/** Where the web server listens, from --http HOST:PORT. */
struct FHostHttpEndpoint
{
	/** The address as given (an IPv4 address or a host name the system resolves). */
	std::string Host = "127.0.0.1";
	/** 0: a port the system picks. */
	int Port = 8090;

	/** HOST:PORT with a port from 0 to 65535; none for anything else (no colon, no host, a port that is no number). */
	static std::optional<FHostHttpEndpoint> Parse(const std::string& Text);

	/** Whether only this machine can reach the address: 127.0.0.0/8 or "localhost". */
	bool IsLoopback() const;
};
