#include "SenderRelay.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace
{
// Large enough for any UDP datagram over IPv4.
constexpr size_t LargestDatagram = 65536;
// A burst from a fast sender waits here while the relay sends each datagram several times; the system may grant less.
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
// How long one wait lasts at most, so that Stop and the duration are seen in time while nothing arrives.
constexpr int WaitSliceMilliseconds = 50;
} // namespace

std::string FSenderRelaySummary::Describe() const
{
	char Line[192];
	std::snprintf(Line, sizeof(Line), "relayed %lld datagrams in %.1f s%s: %lld forwarded, %lld refused", (long long)Received,
	              std::chrono::duration<double>(Elapsed).count(), bStopped ? " (stopped)" : "", (long long)Forwarded, (long long)Refused);
	return Line;
}

FSenderRelay::FSenderRelay(FSenderRelayOptions InOptions)
    : Options(std::move(InOptions))
    , Forwarder(Options.MulticastTtl)
{
}

FSenderRelay::~FSenderRelay()
{
	if (ListenDescriptor >= 0)
	{
		close(ListenDescriptor);
	}
}

FSenderRelaySummary FSenderRelay::GetProgress() const
{
	FSenderRelaySummary Progress;
	Progress.Received = ReceivedCount.load(std::memory_order_relaxed);
	Progress.Forwarded = ForwardedCount.load(std::memory_order_relaxed);
	Progress.Refused = RefusedCount.load(std::memory_order_relaxed);
	return Progress;
}

std::string FSenderRelay::Open()
{
	if (!Forwarder.IsOpen())
	{
		return "cannot make a UDP socket: " + Forwarder.GetError();
	}
	ListenDescriptor = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
	if (ListenDescriptor < 0)
	{
		return std::string("cannot make a UDP socket: ") + std::strerror(errno);
	}
	const int Size = ReceiveBufferBytes;
	setsockopt(ListenDescriptor, SOL_SOCKET, SO_RCVBUF, &Size, sizeof(Size));
	const in_addr Listen = Options.Listen.Address.sin_addr;
	const bool bGroup = IN_MULTICAST(ntohl(Listen.s_addr));
	// Bound to a group, the socket takes only that group's datagrams; others of the machine may listen on it too.
	const int Reuse = 1;
	if (bGroup)
	{
		setsockopt(ListenDescriptor, SOL_SOCKET, SO_REUSEADDR, &Reuse, sizeof(Reuse));
	}
	if (bind(ListenDescriptor, reinterpret_cast<const sockaddr*>(&Options.Listen.Address), sizeof(Options.Listen.Address)) != 0)
	{
		return "cannot listen on " + Options.Listen.Text + ": " + std::strerror(errno);
	}
	// Bound to a group without joining it, the relay would hear nothing: the system delivers only groups joined.
	ip_mreq Membership{};
	Membership.imr_multiaddr = Listen;
	Membership.imr_interface.s_addr = htonl(INADDR_ANY);
	if (bGroup && setsockopt(ListenDescriptor, IPPROTO_IP, IP_ADD_MEMBERSHIP, &Membership, sizeof(Membership)) != 0)
	{
		return "cannot join the group " + Options.Listen.Text + ": " + std::strerror(errno);
	}
	return {};
}

FSenderRelaySummary FSenderRelay::Run()
{
	FSenderRelaySummary Summary;
	const auto Start = std::chrono::steady_clock::now();
	if (ListenDescriptor < 0)
	{
		if (std::string Problem = Open(); !Problem.empty())
		{
			Summary.Error = std::move(Problem);
			return Summary;
		}
	}
	const auto Deadline = Options.DurationSeconds
	                          ? Start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(*Options.DurationSeconds))
	                          : std::chrono::steady_clock::time_point::max();
	const auto IsDone = [&] { return (Options.Count && Summary.Received >= *Options.Count) || std::chrono::steady_clock::now() >= Deadline; };
	std::vector<char> Buffer(LargestDatagram);
	while (!bStopRequested.load(std::memory_order_relaxed) && !IsDone())
	{
		pollfd Poll{ListenDescriptor, POLLIN, 0};
		if (poll(&Poll, 1, WaitSliceMilliseconds) <= 0)
		{
			continue;
		}
		// Everything queued goes on before the next wait; the count and a stop are looked at between datagrams.
		while (!bStopRequested.load(std::memory_order_relaxed) && !(Options.Count && Summary.Received >= *Options.Count))
		{
			const ssize_t Size = recv(ListenDescriptor, Buffer.data(), Buffer.size(), MSG_DONTWAIT);
			if (Size < 0)
			{
				break;
			}
			++Summary.Received;
			ReceivedCount.store(Summary.Received, std::memory_order_relaxed);
			ForwardToAll(Buffer.data(), size_t(Size), Summary);
		}
	}
	Summary.bStopped = bStopRequested.load(std::memory_order_relaxed) && !IsDone();
	Summary.Elapsed = std::chrono::steady_clock::now() - Start;
	return Summary;
}

void FSenderRelay::ForwardToAll(const char* Datagram, size_t Size, FSenderRelaySummary& Summary)
{
	for (const FSenderDestination& Destination : Options.Destinations)
	{
		++(Forwarder.Send(std::string_view(Datagram, Size), Destination) ? Summary.Forwarded : Summary.Refused);
	}
	ForwardedCount.store(Summary.Forwarded, std::memory_order_relaxed);
	RefusedCount.store(Summary.Refused, std::memory_order_relaxed);
}
