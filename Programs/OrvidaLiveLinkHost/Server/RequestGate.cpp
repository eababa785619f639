#include "Server/RequestGate.h"

#include <httplib.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>
#include <string_view>

namespace
{
std::string ToLower(std::string_view Text)
{
	std::string Lower(Text);
	std::transform(Lower.begin(), Lower.end(), Lower.begin(), [](unsigned char Character) { return static_cast<char>(std::tolower(Character)); });
	return Lower;
}

std::string_view Trim(std::string_view Text)
{
	while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t'))
	{
		Text.remove_prefix(1);
	}
	while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t'))
	{
		Text.remove_suffix(1);
	}
	return Text;
}

/** Compares in time that does not depend on where the texts differ, so that the token cannot be guessed a digit at a time. */
bool EqualsInConstantTime(std::string_view Left, std::string_view Right)
{
	if (Left.size() != Right.size())
	{
		return false;
	}
	unsigned char Difference = 0;
	for (size_t Index = 0; Index < Left.size(); ++Index)
	{
		Difference |= static_cast<unsigned char>(Left[Index] ^ Right[Index]);
	}
	return Difference == 0;
}

bool IsAddressLiteral(const std::string& Name)
{
	unsigned char Address[16];
	if (Name.size() > 2 && Name.front() == '[' && Name.back() == ']')
	{
		return ::inet_pton(AF_INET6, Name.substr(1, Name.size() - 2).c_str(), Address) == 1;
	}
	return ::inet_pton(AF_INET, Name.c_str(), Address) == 1;
}

/** The value of one cookie in a Cookie header, or none. */
std::optional<std::string_view> FindCookie(std::string_view Header, std::string_view Name)
{
	while (!Header.empty())
	{
		const size_t End = std::min(Header.find(';'), Header.size());
		const std::string_view Pair = Trim(Header.substr(0, End));
		const size_t Equals = Pair.find('=');
		if (Equals != std::string_view::npos && Pair.substr(0, Equals) == Name)
		{
			return Pair.substr(Equals + 1);
		}
		Header.remove_prefix(std::min(End + 1, Header.size()));
	}
	return std::nullopt;
}

bool TakesBody(const std::string& Method) { return Method == "POST" || Method == "PUT" || Method == "PATCH"; }
} // namespace

FHostRequestGate::FHostRequestGate(FHostHttpEndpoint InBound, std::string InToken)
    : Bound(std::move(InBound))
    , Token(std::move(InToken))
{
}

std::optional<FHostRequestGate::FRefusal> FHostRequestGate::Check(const httplib::Request& Request) const
{
	// Two Host headers could each be read differently by the server and a proxy: refused rather than chosen from.
	if (Request.get_header_value_count("Host") != 1 || !IsOwnHost(Request.get_header_value("Host")))
	{
		return FRefusal{403, "the Host header '" + Request.get_header_value("Host") + "' does not name this server; open it by the address it printed"};
	}
	if (!Token.empty() && !HasToken(Request))
	{
		return FRefusal{403, "this server needs its token: open the address with ?token= that the host printed when it started"};
	}
	const bool bChanges = Request.method != "GET" && Request.method != "HEAD";
	if (bChanges)
	{
		const std::string ContentType = Request.get_header_value("Content-Type");
		if (ToLower(Trim(std::string_view(ContentType).substr(0, ContentType.find(';')))) != "application/json")
		{
			return FRefusal{403, Request.method + " needs Content-Type: application/json"};
		}
		if (Request.has_header("Origin") && Request.get_header_value("Origin") != "http://" + Request.get_header_value("Host"))
		{
			return FRefusal{403, "a page of another origin (" + Request.get_header_value("Origin") + ") may not change anything here"};
		}
	}
	const bool bHasBody = Request.has_header("Transfer-Encoding") || Request.get_header_value<uint64_t>("Content-Length") > 0;
	if (bHasBody && !TakesBody(Request.method))
	{
		return FRefusal{413, Request.method + " takes no body"};
	}
	if (Request.has_header("Transfer-Encoding") && ToLower(Trim(Request.get_header_value("Transfer-Encoding"))) != "chunked")
	{
		return FRefusal{501, "a body is read with a Content-Length or chunked, not " + Request.get_header_value("Transfer-Encoding")};
	}
	// Without either, a request's body would run to the end of the connection, which a client waiting for the
	// answer never closes.
	if (TakesBody(Request.method) && !Request.has_header("Transfer-Encoding") && !Request.has_header("Content-Length"))
	{
		return FRefusal{411, Request.method + " needs a Content-Length (0 when there is no body) or a chunked body"};
	}
	return std::nullopt;
}

bool FHostRequestGate::HasTokenInQuery(const httplib::Request& Request) const
{
	return !Token.empty() && Request.has_param("token") && EqualsInConstantTime(Request.get_param_value("token"), Token);
}

std::string FHostRequestGate::MakeToken()
{
	std::random_device Random;
	std::string Text;
	for (int Word = 0; Word < 4; ++Word)
	{
		char Hex[9];
		std::snprintf(Hex, sizeof(Hex), "%08x", static_cast<unsigned>(Random()));
		Text += Hex;
	}
	return Text;
}

bool FHostRequestGate::IsOwnHost(const std::string& HostHeader) const
{
	const std::string Lower = ToLower(HostHeader);
	const std::string Port = std::to_string(Bound.Port);
	// The name before the port; an IPv6 literal keeps its brackets, so its own colons are not taken for the port's.
	const size_t Colon = Lower.rfind(':');
	const bool bHasPort = Colon != std::string::npos && Lower.find(']', Colon) == std::string::npos;
	const std::string Name = bHasPort ? Lower.substr(0, Colon) : Lower;
	if (bHasPort ? Lower.substr(Colon + 1) != Port : Bound.Port != 80)
	{
		return false;
	}
	if (Name == ToLower(Bound.Host))
	{
		return true;
	}
	if (Bound.IsLoopback())
	{
		return Name == "localhost" || Name == "127.0.0.1" || Name == "[::1]";
	}
	// On every interface the server answers to each of the machine's addresses; a literal cannot be rebound.
	return Bound.Host == "0.0.0.0" && (Name == "localhost" || IsAddressLiteral(Name));
}

bool FHostRequestGate::HasToken(const httplib::Request& Request) const
{
	if (EqualsInConstantTime(Request.get_header_value("X-Orvida-Token"), Token) || HasTokenInQuery(Request))
	{
		return true;
	}
	// Kept here: the cookie found is a view into it.
	const std::string Cookies = Request.get_header_value("Cookie");
	const std::optional<std::string_view> Cookie = FindCookie(Cookies, TokenCookie);
	return Cookie && EqualsInConstantTime(*Cookie, Token);
}
