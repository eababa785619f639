#include "LatencySummary.h"
#include "UdpBlaster.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{
using FClock = std::chrono::steady_clock;

/** A socket on 127.0.0.1 at a port of the system's choice that counts what reaches it. */
class FCountingSocket
{
public:
	FCountingSocket()
	{
		Descriptor = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
		sockaddr_in Address{};
		Address.sin_family = AF_INET;
		Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
		socklen_t Length = sizeof(Address);
		::bind(Descriptor, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address));
		::getsockname(Descriptor, reinterpret_cast<sockaddr*>(&Address), &Length);
		Port = ntohs(Address.sin_port);
	}
	~FCountingSocket() { ::close(Descriptor); }

	/** Receives until Count datagrams have come in all, or until Deadline; returns the count so far. */
	int64_t ReceiveUntil(int64_t Count, FClock::time_point Deadline)
	{
		char Buffer[2048];
		while (Received < Count && FClock::now() < Deadline)
		{
			pollfd Poll{Descriptor, POLLIN, 0};
			if (::poll(&Poll, 1, 10) > 0)
			{
				while (::recv(Descriptor, Buffer, sizeof(Buffer), 0) >= 0)
				{
					++Received;
				}
			}
		}
		return Received;
	}

	uint16_t Port = 0;

private:
	int Descriptor = -1;
	int64_t Received = 0;
};
} // namespace

// A stop the senders never see (the writing end of the stop pipe left open in a child) would keep them sending
// for their whole minute, and Join would wait for that; a count lost on its way back would report fewer sent than arrived.
TEST(UdpBlasterTest, StopEndsEverySenderAndJoinReportsAtLeastWhatArrived)
{
	FCountingSocket Receiver;
	OrvidaBenchmark::FUdpBlaster Blaster(Receiver.Port, 2, {"{}", "{\"a\":1}"}, 60.0);
	ASSERT_EQ(2, Blaster.GetProcessCount());
	ASSERT_GE(Receiver.ReceiveUntil(1000, FClock::now() + std::chrono::seconds(10)), 1000);

	const FClock::time_point Stop = FClock::now();
	Blaster.RequestStop();
	const int64_t Sent = Blaster.Join();
	EXPECT_LT(FClock::now() - Stop, std::chrono::seconds(10));
	// Whatever is still queued arrives within the drain.
	const int64_t Received = Receiver.ReceiveUntil(INT64_MAX, FClock::now() + std::chrono::milliseconds(200));
	EXPECT_GE(Sent, Received);
	EXPECT_EQ(0, Blaster.Join());
}

// Nearest rank over 200 values given in reverse: an index off by one gives 199 or 101, and input left unsorted
// gives whatever stood at the index.
TEST(LatencySummaryTest, TakesNearestRanksOfTheSortedValues)
{
	std::vector<double> Values;
	for (int Value = 200; Value >= 1; --Value)
	{
		Values.push_back(Value);
	}
	const OrvidaBenchmark::FLatencySummary Summary = OrvidaBenchmark::FLatencySummary::Of(Values);
	EXPECT_EQ(100.0, Summary.Median);
	EXPECT_EQ(198.0, Summary.P99);
	EXPECT_EQ(200.0, Summary.Max);
	EXPECT_EQ(200u, Summary.Count);
	EXPECT_EQ(0u, OrvidaBenchmark::FLatencySummary::Of({}).Count);
}
