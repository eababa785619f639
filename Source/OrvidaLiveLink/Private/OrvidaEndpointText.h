#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

/**
 * The endpoint text that the plug-in accepts, whether typed into the creation panel, stored as a connection
 * string or kept in the project settings: "a.b.c.d:port", four decimal numbers 0 to 255 separated by dots, a colon
 * and a decimal port 0 to 65535, with nothing before, between or after them (no blanks, no signs). The engine's
 * own parse reads almost any text ("a.b.c.d:9001" as 0.0.0.0:9001, "300.1.1.1" as 44.1.1.1), so each function
 * here checks the text first and hands the engine only text that it reads as written.
 *
 * A source may also listen on a multicast group (an address from 224.0.0.0 to 239.255.255.255) and name the
 * interface that joins it: "a.b.c.d:port@i.j.k.l", the interface given by its own IPv4 address. Without "@" the
 * system picks the interface, as it does for any group joined on 0.0.0.0.
 */
struct ORVIDALIVELINK_API FOrvidaEndpointText
{
	/**
	 * Reads where a source listens: "a.b.c.d:port", or "a.b.c.d:port@i.j.k.l" when a.b.c.d is a multicast group.
	 * OutMulticastInterface is i.j.k.l, or 0.0.0.0 without "@". False, with both outputs untouched, for any other
	 * text, "@" after an address that is no group among them.
	 */
	static bool ParseSourceEndpoint(const FString& Text, FIPv4Endpoint& OutEndpoint, FIPv4Address& OutMulticastInterface);

	/** The text that ParseSourceEndpoint reads back: "a.b.c.d:port", with "@i.j.k.l" only for a group joined on a named interface. */
	static FString FormatSourceEndpoint(const FIPv4Endpoint& Endpoint, const FIPv4Address& MulticastInterface);

	/** Reads "a.b.c.d" into OutAddress; false, with OutAddress untouched, for any other text. */
	static bool ParseAddress(const FString& Text, FIPv4Address& OutAddress);
};
