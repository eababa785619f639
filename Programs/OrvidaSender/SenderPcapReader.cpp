#include "SenderPcapReader.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <memory>
#include <span>

namespace
{
uint16_t ReadBigEndian16(std::span<const uint8_t> Bytes, size_t At) { return uint16_t(Bytes[At] << 8 | Bytes[At + 1]); }

/** Where the IP packet starts in a frame of LinkType, or nothing when the frame holds no IPv4 packet. */
std::optional<size_t> FindIpv4(int LinkType, std::span<const uint8_t> Frame)
{
	constexpr uint16_t EtherTypeIpv4 = 0x0800, EtherTypeVlan = 0x8100;
	switch (LinkType)
	{
	case DLT_EN10MB:
	{
		size_t TypeAt = 12;
		if (Frame.size() >= TypeAt + 2 && ReadBigEndian16(Frame, TypeAt) == EtherTypeVlan)
		{
			TypeAt += 4;
		}
		return Frame.size() >= TypeAt + 2 && ReadBigEndian16(Frame, TypeAt) == EtherTypeIpv4 ? std::optional<size_t>(TypeAt + 2) : std::nullopt;
	}
	case DLT_LINUX_SLL:
		return Frame.size() >= 16 && ReadBigEndian16(Frame, 14) == EtherTypeIpv4 ? std::optional<size_t>(16) : std::nullopt;
	case DLT_LINUX_SLL2:
		return Frame.size() >= 20 && ReadBigEndian16(Frame, 0) == EtherTypeIpv4 ? std::optional<size_t>(20) : std::nullopt;
	case DLT_RAW:
	case DLT_IPV4:
		return Frame.size() >= 1 && Frame[0] >> 4 == 4 ? std::optional<size_t>(0) : std::nullopt;
	default:
		return std::nullopt;
	}
}

/** The UDP payload to DestinationPort (any port when unset) in the IPv4 packet at Frame[IpAt], or nothing. */
std::optional<std::span<const uint8_t>> FindUdpPayload(std::span<const uint8_t> Frame, size_t IpAt, std::optional<uint16_t> DestinationPort)
{
	constexpr uint8_t ProtocolUdp = 17;
	const std::span<const uint8_t> Ip = Frame.subspan(IpAt);
	if (Ip.size() < 20 || Ip[0] >> 4 != 4 || Ip[9] != ProtocolUdp)
	{
		return std::nullopt;
	}
	const size_t HeaderLength = size_t(Ip[0] & 0x0F) * 4;
	const size_t TotalLength = ReadBigEndian16(Ip, 2);
	const bool bFragment = (ReadBigEndian16(Ip, 6) & 0x3FFF) != 0;
	if (bFragment || HeaderLength < 20 || TotalLength > Ip.size() || TotalLength < HeaderLength + 8)
	{
		return std::nullopt;
	}
	const std::span<const uint8_t> Udp = Ip.subspan(HeaderLength, TotalLength - HeaderLength);
	const size_t UdpLength = ReadBigEndian16(Udp, 4);
	if (UdpLength < 8 || UdpLength > Udp.size() || (DestinationPort && ReadBigEndian16(Udp, 2) != *DestinationPort))
	{
		return std::nullopt;
	}
	return Udp.subspan(8, UdpLength - 8);
}
} // namespace

FSenderReplay FSenderPcapReader::Read(const std::string& Path, std::optional<uint16_t> DestinationPort)
{
	char ErrorText[PCAP_ERRBUF_SIZE] = {};
	const std::unique_ptr<pcap_t, decltype(&pcap_close)> Capture(pcap_open_offline_with_tstamp_precision(Path.c_str(), PCAP_TSTAMP_PRECISION_NANO, ErrorText),
	                                                             &pcap_close);
	if (!Capture)
	{
		return FSenderReplay::Failure(Path + ": " + ErrorText);
	}
	const int LinkType = pcap_datalink(Capture.get());
	if (LinkType != DLT_EN10MB && LinkType != DLT_LINUX_SLL && LinkType != DLT_LINUX_SLL2 && LinkType != DLT_RAW && LinkType != DLT_IPV4)
	{
		const char* const Name = pcap_datalink_val_to_name(LinkType);
		return FSenderReplay::Failure(Path + ": link type " + (Name ? Name : std::to_string(LinkType)) + " is not read; Ethernet, Linux cooked and raw IP are");
	}

	FSenderReplay Replay;
	std::optional<std::chrono::nanoseconds> FirstTimestamp;
	pcap_pkthdr* Header = nullptr;
	const u_char* Data = nullptr;
	int Result = 0;
	while ((Result = pcap_next_ex(Capture.get(), &Header, &Data)) == 1)
	{
		const std::span<const uint8_t> Frame(Data, Header->caplen);
		const std::optional<size_t> IpAt = FindIpv4(LinkType, Frame);
		const std::optional<std::span<const uint8_t>> Payload = IpAt ? FindUdpPayload(Frame, *IpAt, DestinationPort) : std::nullopt;
		if (!Payload)
		{
			++Replay.SkippedRecords;
			continue;
		}
		const std::chrono::nanoseconds Timestamp = std::chrono::seconds(Header->ts.tv_sec) + std::chrono::nanoseconds(Header->ts.tv_usec);
		if (!FirstTimestamp)
		{
			FirstTimestamp = Timestamp;
		}
		FSenderFrame Out;
		Out.Offset = Replay.Frames.empty() ? std::chrono::nanoseconds(0) : std::max(Timestamp - *FirstTimestamp, Replay.Frames.back().Offset);
		Out.Content = std::string(Payload->begin(), Payload->end());
		Replay.Frames.push_back(std::move(Out));
	}
	// A capture cut off inside a packet (a killed capture, a copy not finished) is refused rather than replayed in
	// part as if it were whole; the packets before the cut are counted, so that the user knows what is there.
	if (Result == PCAP_ERROR)
	{
		return FSenderReplay::Failure(Path + ": cut off after " + std::to_string(Replay.Frames.size() + size_t(Replay.SkippedRecords)) +
		                              " packets: " + pcap_geterr(Capture.get()));
	}
	return Replay;
}
