#include "Server/HttpEndpoint.h"

#include <charconv>

std::optional<FHostHttpEndpoint> FHostHttpEndpoint::Parse(const std::string& Text)
{
	const size_t Colon = Text.rfind(':');
	if (Colon == std::string::npos || Colon == 0)
	{
		return std::nullopt;
	}
	FHostHttpEndpoint Endpoint;
	Endpoint.Host = Text.substr(0, Colon);
	const char* PortBegin = Text.data() + Colon + 1;
	const char* PortEnd = Text.data() + Text.size();
	const auto [End, Error] = std::from_chars(PortBegin, PortEnd, Endpoint.Port);
	if (PortBegin == PortEnd || Error != std::errc() || End != PortEnd || Endpoint.Port < 0 || Endpoint.Port > 65535)
	{
		return std::nullopt;
	}
	return Endpoint;
}

bool FHostHttpEndpoint::IsLoopback() const { return Host == "localhost" || Host.starts_with("127."); }
