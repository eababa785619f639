#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

#include <cstddef>
#include <span>
#include <vector>

/**
 * The IPv4 packet that carried a UDP datagram, rebuilt for a capture from what the socket gave: a 20-byte IPv4
 * header without options (its checksum computed), an 8-byte UDP header with checksum 0 (which IPv4 reads as "none"),
 * then the payload. Pure functions; any thread.
 */
struct FHostPcapPacket
{
	static constexpr size_t HeaderSize = 20 + 8;
	/** An IPv4 packet's total length is a 16-bit field. */
	static constexpr size_t MaxPayloadSize = 65535 - HeaderSize;

	/**
	 * Replaces OutPacket with the packet carrying Payload from Sender to Destination. False, with OutPacket
	 * emptied, when Payload is longer than MaxPayloadSize, which no IPv4 datagram can be.
	 */
	static bool Build(std::span<const uint8> Payload, const FIPv4Endpoint& Sender, const FIPv4Endpoint& Destination, std::vector<uint8>& OutPacket);

	/** The internet checksum (RFC 1071) of Bytes, as stored: the ones' complement of their ones' complement sum. An odd last byte counts as the high byte of a
	 * word. */
	static uint16 ComputeChecksum(std::span<const uint8> Bytes);
};
