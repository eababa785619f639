#pragma once

#include "CoreMinimal.h"
#include "IPAddress.h"
#include "Interfaces/IPv4/IPv4Address.h"

/** An IPv4 address and a port. */
struct NETWORKING_API FIPv4Endpoint
{
	FIPv4Address Address;
	uint16 Port = 0;

	FIPv4Endpoint() = default;
	FIPv4Endpoint(const FIPv4Address& InAddress, uint16 InPort)
	    : Address(InAddress)
	    , Port(InPort)
	{
	}
	/** Copies an internet address; null gives 0.0.0.0:0. */
	explicit FIPv4Endpoint(const TSharedPtr<FInternetAddr>& InternetAddr);

	/** "a.b.c.d:port" in decimal; Parse reads it back unchanged. */
	FString ToString() const;
	/** A socket-subsystem address for this endpoint. */
	TSharedRef<FInternetAddr> ToInternetAddr() const;

	/**
	 * Lenient, like the engine's: splits the text on ":" and needs exactly two pieces; the first is read by
	 * FIPv4Address::Parse, the second with FCString::Atoi, keeping its low 16 bits. So "a.b.c.d:9001" reads as
	 * 0.0.0.0:9001, "1.2.3.4:70000" as port 4464 and "1.2.3.4:" as port 0. False (and OutEndpoint untouched)
	 * only for a piece count other than two or an address that is refused.
	 */
	static bool Parse(const FString& EndpointString, FIPv4Endpoint& OutEndpoint);

	bool operator==(const FIPv4Endpoint& Other) const { return Address == Other.Address && Port == Other.Port; }
	bool operator!=(const FIPv4Endpoint& Other) const { return !(*this == Other); }

	/** 0.0.0.0:0 */
	static const FIPv4Endpoint Any;
};
