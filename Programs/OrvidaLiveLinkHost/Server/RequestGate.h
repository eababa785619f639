#pragma once

#include "Server/HttpEndpoint.h"

#include <optional>
#include <string>

namespace httplib
{
struct Request;
} // namespace httplib

/**
 * Decides, from a request's line and headers alone (before any body is read), whether the server may serve it. A
 * server on the loopback is still reachable from every web page the operator opens and, through a rebinding name,
 * from every site; these rules close both ways in:
 * - Host must name the address the server is bound to, with its port (on the loopback also localhost, 127.0.0.1 or
 *   [::1]; bound to 0.0.0.0 any address literal or localhost), so that a rebinding name is refused.
 * - A request that changes anything (every method but GET and HEAD) must say Content-Type: application/json, which a
 *   page of another origin cannot send without asking first, and an Origin, when it has one, must be the server's.
 * - Bound to an address other machines can reach, every request must carry the token made at start-up: in the
 *   X-Orvida-Token header, the orvida_token cookie, or the token query parameter of the URL the host prints.
 * - Only POST, PUT and PATCH may carry a body (the server reads those with a bound of its own), and they must say
 *   how long it is (a Content-Length, or chunked); any other request with a body is refused before it is read.
 *
 * Threads: Check is const and may be called on any thread.
 */
class FHostRequestGate
{
public:
	/** Why a request was refused, with the status to answer. */
	struct FRefusal
	{
		int Status = 403;
		std::string Reason;
	};

	/** The name of the cookie that carries the token. */
	static constexpr const char* TokenCookie = "orvida_token";

	/** Token empty: none is required (the server is bound to the loopback). */
	FHostRequestGate(FHostHttpEndpoint Bound, std::string Token);

	/** None when the request may be served; the refusal otherwise. A malformed or missing header is refused, never guessed at. */
	std::optional<FRefusal> Check(const httplib::Request& Request) const;

	/** Whether the request proved the token through its query (so that the answer should set the cookie). */
	bool HasTokenInQuery(const httplib::Request& Request) const;

	/** A token of 128 random bits as 32 hexadecimal digits, from the system's random source. */
	static std::string MakeToken();

private:
	bool IsOwnHost(const std::string& HostHeader) const;
	bool HasToken(const httplib::Request& Request) const;

	FHostHttpEndpoint Bound;
	std::string Token;
};
