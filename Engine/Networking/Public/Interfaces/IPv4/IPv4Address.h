#pragma once

#include "CoreMinimal.h"

/** An IPv4 address; Value is in host byte order, A is its most significant byte. */
struct NETWORKING_API FIPv4Address
{
	union
	{
		struct
		{
			uint8 D;
			uint8 C;
			uint8 B;
			uint8 A;
		};
		uint32 Value;
	};

	FIPv4Address() : Value(0) {}
	explicit FIPv4Address(uint32 InValue) : Value(InValue) {}
	FIPv4Address(uint8 InA, uint8 InB, uint8 InC, uint8 InD) : D(InD), C(InC), B(InB), A(InA) {}

	/** "a.b.c.d" in decimal. */
	FString ToString() const;

	/**
	 * Reads exactly four dot-separated decimal numbers of one to three digits, each 0 to 255, with nothing
	 * before, between or after them. False (and OutAddress untouched) for anything else.
	 */
	static bool Parse(const FString& AddressString, FIPv4Address& OutAddress);

	bool operator==(const FIPv4Address& Other) const { return Value == Other.Value; }
	bool operator!=(const FIPv4Address& Other) const { return Value != Other.Value; }

	/** 0.0.0.0 */
	static const FIPv4Address Any;
	/** 127.0.0.1 */
	static const FIPv4Address InternalLoopback;
	/** 255.255.255.255 */
	static const FIPv4Address LanBroadcast;
};

static_assert(PLATFORM_LITTLE_ENDIAN, "FIPv4Address lays its bytes out for a little-endian host");
