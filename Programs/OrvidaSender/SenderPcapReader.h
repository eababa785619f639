#pragma once

#include "SenderReplay.h"

#include <cstdint>
#include <optional>
#include <string>

/**
 * Reads a pcap or pcapng capture with libpcap and keeps the payload of every IPv4 UDP datagram, with its
 * timing from the capture's timestamps, to be sent as it was captured. Ethernet (with or without one VLAN tag),
 * Linux cooked (both versions) and raw IP captures are read.
 */
class FSenderPcapReader
{
public:
	/**
	 * Fails when libpcap cannot open the file, its link type is none of the above, or it breaks off before its
	 * first datagram (the error says which); a capture that breaks off later keeps the datagrams before the break.
	 * Packets that are not IPv4 UDP, fragments, packets cut short by the capture and, with DestinationPort,
	 * datagrams to another port are skipped and counted. A timestamp earlier than the packet before's is sent
	 * right after it, keeping the capture's order.
	 */
	static FSenderReplay Read(const std::string& Path, std::optional<uint16_t> DestinationPort);
};
