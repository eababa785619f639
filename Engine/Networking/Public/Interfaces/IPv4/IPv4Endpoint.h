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
	FIPv4Endpoint(const FIPv4Address& InAddress, uint16 InPort) : Address(InAddress), Port(InPort) {}
	/** Copies an internet address; null gives 0.0.0.0:0. */
	explicit FIPv4Endpoint(const TSharedPtr<FInternetAddr>& InternetAddr);

	/** "a.b.c.d:port" in decimal; Parse reads it back unchanged. */
	FString ToString() const;
	/** A socket-subsystem address for this endpoint. */
	TSharedRef<FInternetAddr> ToInternetAddr() const;

	/**
	 * Reads an address as FIPv4Address::Parse does, one colon and a decimal port of one to five digits, 0 to
	 * 65535, with nothing else. False (and OutEndpoint untouched) for anything else, including a bare address.
	 */
	static bool Parse(const FString& EndpointString, FIPv4Endpoint& OutEndpoint);

	bool operator==(const FIPv4Endpoint& Other) const { return Address == Other.Address && Port == Other.Port; }
	bool operator!=(const FIPv4Endpoint& Other) const { return !(*this == Other); }

	/** 0.0.0.0:0 */
	static const FIPv4Endpoint Any;
};
