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

	FIPv4Address()
	    : Value(0)
	{
	}
	explicit FIPv4Address(uint32 InValue)
	    : Value(InValue)
	{
	}
	FIPv4Address(uint8 InA, uint8 InB, uint8 InC, uint8 InD)
	    : D(InD)
	    , C(InC)
	    , B(InB)
	    , A(InA)
	{
	}

	/** "a.b.c.d" in decimal. */
	FString ToString() const;

	/**
	 * Lenient, like the engine's: splits the text on "." and needs exactly four pieces, empty ones included;
	 * each piece is read with FCString::Atoi and keeps its low byte. So "a.b.c.d" reads as 0.0.0.0, "300.1.1.1"
	 * as 44.1.1.1, "-1.2.3.4" as 255.2.3.4 and "1.2.3.4:5" as 1.2.3.4. False (and OutAddress untouched) only
	 * when the piece count is not four.
	 */
	static bool Parse(const FString& AddressString, FIPv4Address& OutAddress);

	/** Whether the address is in 224.0.0.0 to 239.255.255.255. */
	bool IsMulticastAddress() const { return A >= 224 && A <= 239; }

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
