#include "Common/UdpSocketBuilder.h"
#include "LogCapture.h"
#include "LoopbackUdp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace
{
using namespace std::chrono_literals;

struct FSocketDeleter
{
	void operator()(FSocket* Socket) const { ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM)->DestroySocket(Socket); }
};
using FSocketPtr = std::unique_ptr<FSocket, FSocketDeleter>;

std::vector<FLogCapture::FLine> ErrorsInLogSockets(const FLogCapture& Capture)
{
	std::vector<FLogCapture::FLine> Errors;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Category == "LogSockets" && Line.Verbosity == ELogVerbosity::Error)
		{
			Errors.push_back(Line);
		}
	}
	return Errors;
}
} // namespace

TEST(UdpSocketBuilder, BuildsABoundNonBlockingDatagramSocket)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const FLogCapture Capture;
	FSocketPtr Socket(
	    FUdpSocketBuilder(TEXT("BuilderTest")).BoundToEndpoint(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port)).WithReceiveBufferSize(1 << 20).Build());
	ASSERT_NE(Socket, nullptr);
	EXPECT_TRUE(ErrorsInLogSockets(Capture).empty());
	EXPECT_EQ(Socket->GetSocketType(), SOCKTYPE_Datagram);
	EXPECT_EQ(Socket->GetDescription().GetStdString(), u"BuilderTest");
	EXPECT_EQ(Socket->GetPortNo(), Port);
	const TSharedRef<FInternetAddr> Bound = ISocketSubsystem::Get()->CreateInternetAddr();
	Socket->GetAddress(*Bound);
	EXPECT_EQ(FIPv4Endpoint(Bound.ToSharedPtr()), FIPv4Endpoint(FIPv4Address::InternalLoopback, Port));

	// A receive with nothing queued must come back at once. Should the socket block instead, a datagram
	// releases it so the test ends either way.
	const TSharedRef<FInternetAddr> Source = ISocketSubsystem::Get()->CreateInternetAddr();
	std::future<int32> Received = std::async(std::launch::async,
	                                         [&]
	                                         {
		                                         uint8 Buffer[16];
		                                         int32 BytesRead = -1;
		                                         Socket->RecvFrom(Buffer, sizeof(Buffer), BytesRead, *Source);
		                                         return BytesRead;
	                                         });
	const bool bReturnedAlone = Received.wait_for(10s) == std::future_status::ready;
	if (!bReturnedAlone)
	{
		LoopbackUdp::FSender().Send(Port, "release");
	}
	EXPECT_TRUE(bReturnedAlone);
	EXPECT_EQ(Received.get(), 0);

	// And it is bound where it says: a datagram sent there arrives.
	LoopbackUdp::FSender Sender;
	ASSERT_TRUE(Sender.Send(Port, "ping"));
	ASSERT_TRUE(Socket->Wait(ESocketWaitConditions::WaitForRead, FTimespan::FromSeconds(10)));
	uint8 Buffer[16];
	int32 BytesRead = 0;
	ASSERT_TRUE(Socket->RecvFrom(Buffer, sizeof(Buffer), BytesRead, *Source));
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(Buffer), size_t(BytesRead)), "ping");
}

TEST(UdpSocketBuilder, PortHeldWithoutReuseGivesNullAndOneError)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const LoopbackUdp::FExclusiveBinding Holder(Port);
	ASSERT_TRUE(Holder.IsBound());

	// Asking for reuse must not take a port from a socket that did not allow it.
	for (const bool bReusable : {false, true})
	{
		const FLogCapture Capture;
		FUdpSocketBuilder Builder(TEXT("BuilderTest"));
		Builder.BoundToEndpoint(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port));
		if (bReusable)
		{
			Builder.AsReusable();
		}
		FSocketPtr Socket(Builder.Build());
		EXPECT_EQ(Socket, nullptr) << bReusable;
		const std::vector<FLogCapture::FLine> Errors = ErrorsInLogSockets(Capture);
		ASSERT_EQ(Errors.size(), 1u) << bReusable;
		EXPECT_NE(Errors[0].Text.find("bind"), std::string::npos) << Errors[0].Text;
	}
}

TEST(UdpSocketBuilder, AddressNotOnThisMachineGivesNullAndOneError)
{
	const FLogCapture Capture;
	// 192.0.2.0/24 is reserved for documentation, so no interface here has it. Binding sends nothing.
	FSocketPtr Socket(FUdpSocketBuilder(TEXT("BuilderTest")).BoundToEndpoint(FIPv4Endpoint(FIPv4Address(192, 0, 2, 1), LoopbackUdp::PickFreePort())).Build());
	EXPECT_EQ(Socket, nullptr);
	EXPECT_EQ(ErrorsInLogSockets(Capture).size(), 1u);
}

TEST(UdpSocketBuilder, TwoReusableSocketsShareAPort)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	const FIPv4Endpoint Endpoint(FIPv4Address::InternalLoopback, Port);
	const FLogCapture Capture;
	FSocketPtr First(FUdpSocketBuilder(TEXT("First")).AsReusable().BoundToEndpoint(Endpoint).Build());
	FSocketPtr Second(FUdpSocketBuilder(TEXT("Second")).AsReusable().BoundToEndpoint(Endpoint).Build());
	EXPECT_NE(First, nullptr);
	EXPECT_NE(Second, nullptr);
	EXPECT_TRUE(ErrorsInLogSockets(Capture).empty());
}
