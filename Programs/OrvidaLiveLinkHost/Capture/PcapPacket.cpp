#include "Capture/PcapPacket.h"

#include <algorithm>

namespace
{
void WriteBigEndian16(uint8* At, uint32 Value)
{
	At[0] = uint8(Value >> 8);
	At[1] = uint8(Value);
}

void WriteAddress(uint8* At, const FIPv4Address& Address)
{
	At[0] = Address.A;
	At[1] = Address.B;
	At[2] = Address.C;
	At[3] = Address.D;
}
} // namespace

bool FHostPcapPacket::Build(std::span<const uint8> Payload, const FIPv4Endpoint& Sender, const FIPv4Endpoint& Destination, std::vector<uint8>& OutPacket)
{
	OutPacket.clear();
	if (Payload.size() > MaxPayloadSize)
	{
		return false;
	}
	constexpr uint8 VersionAndHeaderWords = 0x45, TimeToLive = 64, ProtocolUdp = 17;
	// Don't Fragment: the datagram arrived whole, and with DF set the identification may stay 0 (RFC 6864).
	constexpr uint16 FlagDontFragment = 0x4000;
	OutPacket.resize(HeaderSize + Payload.size());
	uint8* const Ip = OutPacket.data();
	Ip[0] = VersionAndHeaderWords;
	WriteBigEndian16(Ip + 2, uint32(OutPacket.size()));
	WriteBigEndian16(Ip + 6, FlagDontFragment);
	Ip[8] = TimeToLive;
	Ip[9] = ProtocolUdp;
	WriteAddress(Ip + 12, Sender.Address);
	WriteAddress(Ip + 16, Destination.Address);
	WriteBigEndian16(Ip + 10, ComputeChecksum(std::span<const uint8>(Ip, 20)));

	uint8* const Udp = Ip + 20;
	WriteBigEndian16(Udp + 0, Sender.Port);
	WriteBigEndian16(Udp + 2, Destination.Port);
	WriteBigEndian16(Udp + 4, uint32(8 + Payload.size()));
	std::copy(Payload.begin(), Payload.end(), Udp + 8);
	return true;
}

uint16 FHostPcapPacket::ComputeChecksum(std::span<const uint8> Bytes)
{
	uint64 Sum = 0;
	for (size_t At = 0; At < Bytes.size(); At += 2)
	{
		Sum += uint64(Bytes[At]) << 8 | (At + 1 < Bytes.size() ? Bytes[At + 1] : 0);
	}
	while (Sum >> 16)
	{
		Sum = (Sum & 0xFFFF) + (Sum >> 16);
	}
	return uint16(~Sum);
}
