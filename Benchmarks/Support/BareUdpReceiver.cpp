#include "BareUdpReceiver.h"

#include "HAL/RunnableThread.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// The source's own figures: its receive buffer, its wait slice and its receiver's stack.
constexpr int ReceiveBufferSize = 1024 * 1024;
constexpr int WaitMilliseconds = 10;
constexpr uint32 StackSize = 128 * 1024;
} // namespace

FBareUdpReceiver::FBareUdpReceiver(uint16 Port, FOnDatagram InOnDatagram)
    : OnDatagram(MoveTemp(InOnDatagram))
    , Buffer(ReceiveBufferSize)
{
	Descriptor = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
	const int One = 1;
	::setsockopt(Descriptor, SOL_SOCKET, SO_REUSEADDR, &One, sizeof(One));
	::setsockopt(Descriptor, SOL_SOCKET, SO_RCVBUF, &ReceiveBufferSize, sizeof(ReceiveBufferSize));
	sockaddr_in Address{};
	Address.sin_family = AF_INET;
	Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	Address.sin_port = htons(Port);
	if (Descriptor >= 0 && ::bind(Descriptor, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) == 0)
	{
		Thread = FRunnableThread::Create(this, TEXT("Bare receiver"), StackSize, TPri_AboveNormal);
	}
}

FBareUdpReceiver::~FBareUdpReceiver()
{
	Stop();
	if (Thread != nullptr)
	{
		Thread->WaitForCompletion();
		delete Thread;
	}
	if (Descriptor >= 0)
	{
		::close(Descriptor);
	}
}

uint32 FBareUdpReceiver::Run()
{
	sockaddr_in Sender{};
	while (!bStop.load())
	{
		pollfd Poll{Descriptor, POLLIN, 0};
		if (::poll(&Poll, 1, WaitMilliseconds) <= 0)
		{
			continue;
		}
		// Drains the queue, but looks at the stop between datagrams as the source does, so that a flood cannot hold it.
		ssize_t Received = 0;
		socklen_t SenderLength = sizeof(Sender);
		while (!bStop.load() &&
		       (Received = ::recvfrom(Descriptor, Buffer.data(), Buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&Sender), &SenderLength)) >= 0)
		{
			ReceivedCount.fetch_add(1, std::memory_order_relaxed);
			if (OnDatagram)
			{
				OnDatagram(int32(Received));
			}
			SenderLength = sizeof(Sender);
		}
	}
	return 0;
}
