#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

/**
 * The endpoint text that the plug-in accepts, whether typed into the creation panel, stored as a connection
 * string or kept in the project settings: "a.b.c.d:port", four decimal numbers 0 to 255 separated by dots, a colon
 * and a decimal port 0 to 65535, with nothing before, between or after them (no blanks, no signs). The engine's
 * own parse reads almost any text ("a.b.c.d:9001" as 0.0.0.0:9001, "300.1.1.1" as 44.1.1.1), so each function
 * here checks the text first and hands the engine only text that it reads as written.
 */
struct ORVIDALIVELINK_API FOrvidaEndpointText
{
	/** Reads "a.b.c.d:port" into OutEndpoint; false, with OutEndpoint untouched, for any other text. */
	static bool ParseEndpoint(const FString& Text, FIPv4Endpoint& OutEndpoint);

	/** Reads "a.b.c.d" into OutAddress; false, with OutAddress untouched, for any other text. */
	static bool ParseAddress(const FString& Text, FIPv4Address& OutAddress);
};
