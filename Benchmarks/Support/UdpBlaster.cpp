#include "UdpBlaster.h"

#include <arpa/inet.h>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace OrvidaBenchmark
{
namespace
{
// How many sends go between two looks at the clock and the stop pipe.
constexpr int64_t SendsPerCheck = 256;

double MonotonicSeconds()
{
	timespec Now{};
	::clock_gettime(CLOCK_MONOTONIC, &Now);
	return double(Now.tv_sec) + double(Now.tv_nsec) * 1e-9;
}

/** The child's whole life: send until the time is up or the stop pipe closes, then write the count. Never returns. */
[[noreturn]] void RunSender(uint16_t Port, const std::vector<std::string>& Messages, double Seconds, int StopDescriptor, int ResultDescriptor)
{
	int64_t Sent = 0;
	const int Socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
	sockaddr_in Address{};
	Address.sin_family = AF_INET;
	Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	Address.sin_port = htons(Port);
	const double End = MonotonicSeconds() + Seconds;
	bool bRunning = Socket >= 0 && !Messages.empty();
	size_t Next = 0;
	while (bRunning)
	{
		for (int64_t Index = 0; Index < SendsPerCheck; ++Index)
		{
			const std::string& Message = Messages[Next];
			Next = Next + 1 == Messages.size() ? 0 : Next + 1;
			if (::sendto(Socket, Message.data(), Message.size(), 0, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) >= 0)
			{
				++Sent;
			}
		}
		pollfd Stop{StopDescriptor, POLLIN, 0};
		bRunning = MonotonicSeconds() < End && ::poll(&Stop, 1, 0) == 0;
	}
	ssize_t Written = ::write(ResultDescriptor, &Sent, sizeof(Sent));
	::_exit(Written == ssize_t(sizeof(Sent)) ? 0 : 1);
}
} // namespace

FUdpBlaster::FUdpBlaster(uint16_t Port, int32_t Processes, const std::vector<std::string>& Messages, double Seconds)
{
	int StopPipe[2];
	if (::pipe2(StopPipe, O_CLOEXEC) != 0)
	{
		return;
	}
	StopDescriptor = StopPipe[1];
	for (int32_t Index = 0; Index < Processes; ++Index)
	{
		int ResultPipe[2];
		if (::pipe2(ResultPipe, O_CLOEXEC) != 0)
		{
			continue;
		}
		const pid_t Process = ::fork();
		if (Process == 0)
		{
			::close(StopDescriptor);
			::close(ResultPipe[0]);
			RunSender(Port, Messages, Seconds, StopPipe[0], ResultPipe[1]);
		}
		::close(ResultPipe[1]);
		if (Process < 0)
		{
			::close(ResultPipe[0]);
			continue;
		}
		Children.push_back(FChild{Process, ResultPipe[0]});
	}
	::close(StopPipe[0]);
}

FUdpBlaster::~FUdpBlaster()
{
	RequestStop();
	Join();
}

void FUdpBlaster::RequestStop()
{
	if (StopDescriptor >= 0)
	{
		::close(StopDescriptor);
		StopDescriptor = -1;
	}
}

int64_t FUdpBlaster::Join()
{
	int64_t Total = 0;
	for (const FChild& Child : Children)
	{
		int64_t Sent = 0;
		if (::read(Child.ResultDescriptor, &Sent, sizeof(Sent)) == ssize_t(sizeof(Sent)))
		{
			Total += Sent;
		}
		::close(Child.ResultDescriptor);
		int Status = 0;
		::waitpid(Child.Process, &Status, 0);
	}
	Children.clear();
	return Total;
}
} // namespace OrvidaBenchmark
