#include "SenderDestination.h"

#include <arpa/inet.h>

#include <charconv>

std::optional<FSenderDestination> FSenderDestination::Parse(std::string_view Text)
{
	const size_t Colon = Text.rfind(':');
	if (Colon == std::string_view::npos)
	{
		return std::nullopt;
	}
	const std::string Host(Text.substr(0, Colon));
	const std::string_view PortText = Text.substr(Colon + 1);
	uint32_t Port = 0;
	const auto [End, Error] = std::from_chars(PortText.data(), PortText.data() + PortText.size(), Port);
	if (Error != std::errc() || End != PortText.data() + PortText.size() || Port == 0 || Port > 65535)
	{
		return std::nullopt;
	}

	FSenderDestination Destination;
	Destination.Address.sin_family = AF_INET;
	Destination.Address.sin_port = htons(uint16_t(Port));
	Destination.Text = std::string(Text);
	if (Host == "localhost")
	{
		Destination.Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	}
	else if (inet_pton(AF_INET, Host.c_str(), &Destination.Address.sin_addr) != 1)
	{
		return std::nullopt;
	}
	return Destination;
}
