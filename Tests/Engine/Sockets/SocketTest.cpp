#include "IPAddress.h"
#include "LoopbackUdp.h"
#include "SocketSubsystem.h"
#include "Sockets.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr uint32 Loopback = 0x7F000001;
// The most a UDP datagram over IPv4 can carry.
constexpr int32 LargestDatagram = 65507;
const FTimespan LongWait = FTimespan::FromSeconds(10);

struct FSocketDeleter
{
	void operator()(FSocket* Socket) const { ISocketSubsystem::Get()->DestroySocket(Socket); }
};
using FSocketPtr = std::unique_ptr<FSocket, FSocketDeleter>;

/** A non-blocking datagram socket bound to 127.0.0.1 on a port the system picks, and a plain sender. */
class SocketTest : public testing::Test
{
protected:
	void SetUp() override
	{
		Receiver = Bind(TEXT("SocketTest receiver"));
		ASSERT_NE(Receiver, nullptr);
		Port = uint16(Receiver->GetPortNo());
		ASSERT_NE(Port, 0);
	}

	static FSocketPtr Bind(const TCHAR* Description)
	{
		FSocketPtr Socket(ISocketSubsystem::Get()->CreateSocket(NAME_DGram, FString(Description)));
		if (Socket == nullptr || !Socket->SetNonBlocking(true))
		{
			return nullptr;
		}
		const TSharedRef<FInternetAddr> Address = ISocketSubsystem::Get()->CreateInternetAddr();
		Address->SetIp(Loopback);
		Address->SetPort(0);
		return Socket->Bind(*Address) ? std::move(Socket) : nullptr;
	}

	/** Receives one datagram into a buffer of BufferSize bytes; what arrived, or "<failed>". */
	std::string Receive(int32 BufferSize = 256)
	{
		std::vector<uint8> Buffer(static_cast<size_t>(BufferSize));
		int32 BytesRead = -1;
		if (!Receiver->RecvFrom(Buffer.data(), BufferSize, BytesRead, *Source))
		{
			return "<failed>";
		}
		return std::string(reinterpret_cast<const char*>(Buffer.data()), size_t(BytesRead));
	}

	FSocketPtr Receiver;
	uint16 Port = 0;
	LoopbackUdp::FSender Sender;
	TSharedRef<FInternetAddr> Source = ISocketSubsystem::Get()->CreateInternetAddr();
};
} // namespace

TEST_F(SocketTest, WaitTimesOutWhenIdleAndReportsAQueuedDatagram)
{
	EXPECT_FALSE(Receiver->Wait(ESocketWaitConditions::WaitForRead, FTimespan::FromMilliseconds(20)));
	uint32 PendingSize = 123;
	EXPECT_FALSE(Receiver->HasPendingData(PendingSize));

	ASSERT_TRUE(Sender.Send(Port, "frame"));
	EXPECT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	EXPECT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForReadOrWrite, LongWait));
	EXPECT_TRUE(Receiver->HasPendingData(PendingSize));
	EXPECT_EQ(PendingSize, 5u);
}

TEST_F(SocketTest, ZeroLengthDatagramIsPendingAndDoesNotHideTheNextOne)
{
	ASSERT_TRUE(Sender.Send(Port, "", 0));
	ASSERT_TRUE(Sender.Send(Port, "next"));
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));

	uint32 PendingSize = 123;
	EXPECT_TRUE(Receiver->HasPendingData(PendingSize));
	EXPECT_EQ(PendingSize, 0u);
	EXPECT_EQ(Receive(), "");

	// Had the empty datagram stayed at the head of the queue, this would see it again.
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	EXPECT_TRUE(Receiver->HasPendingData(PendingSize));
	EXPECT_EQ(PendingSize, 4u);
	EXPECT_EQ(Receive(), "next");
	EXPECT_FALSE(Receiver->HasPendingData(PendingSize));
}

TEST_F(SocketTest, LargestDatagramArrivesWhole)
{
	std::string Payload(size_t(LargestDatagram), '\0');
	for (size_t Index = 0; Index < Payload.size(); ++Index)
	{
		Payload[Index] = char(Index * 7 + Index / 251);
	}
	ASSERT_TRUE(Sender.Send(Port, Payload));
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	uint32 PendingSize = 0;
	EXPECT_TRUE(Receiver->HasPendingData(PendingSize));
	EXPECT_EQ(PendingSize, uint32(LargestDatagram));
	EXPECT_EQ(Receive(65536), Payload);
}

TEST_F(SocketTest, ReceiveWithNothingPendingSucceedsWithNoBytes)
{
	uint8 Buffer[16];
	int32 BytesRead = -1;
	EXPECT_TRUE(Receiver->RecvFrom(Buffer, sizeof(Buffer), BytesRead, *Source));
	EXPECT_EQ(BytesRead, 0);
}

TEST_F(SocketTest, ReceiveFillsInTheSender)
{
	ASSERT_TRUE(Sender.Send(Port, "hello"));
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	EXPECT_EQ(Receive(), "hello");
	uint32 Ip = 0;
	Source->GetIp(Ip);
	EXPECT_EQ(Ip, Loopback);
	EXPECT_EQ(Source->GetPort(), Sender.GetPort());
	EXPECT_EQ(Source->ToString(true).GetStdString(), FString::Printf(TEXT("127.0.0.1:%d"), Sender.GetPort()).GetStdString());
	EXPECT_EQ(Source->ToString(false).GetStdString(), u"127.0.0.1");
}

TEST_F(SocketTest, ShortBufferTruncatesOneDatagramOnly)
{
	ASSERT_TRUE(Sender.Send(Port, "0123456789"));
	ASSERT_TRUE(Sender.Send(Port, "next"));
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));

	uint8 Buffer[4];
	int32 BytesRead = 0;
	ASSERT_TRUE(Receiver->RecvFrom(Buffer, sizeof(Buffer), BytesRead, *Source, ESocketReceiveFlags::Peek));
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(Buffer), size_t(BytesRead)), "0123");
	// A peek leaves the datagram queued; the receive after it takes it, and its rest is gone.
	EXPECT_EQ(Receive(4), "0123");
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	EXPECT_EQ(Receive(), "next");
}

TEST_F(SocketTest, SendToReachesAnotherSocket)
{
	const FSocketPtr Other = Bind(TEXT("SocketTest sender"));
	ASSERT_NE(Other, nullptr);
	const TSharedRef<FInternetAddr> Destination = ISocketSubsystem::Get()->CreateInternetAddr();
	Destination->SetIp(Loopback);
	Destination->SetPort(Port);
	const std::string Payload = "camera frame";
	int32 BytesSent = 0;
	ASSERT_TRUE(Other->SendTo(reinterpret_cast<const uint8*>(Payload.data()), int32(Payload.size()), BytesSent, *Destination));
	EXPECT_EQ(BytesSent, int32(Payload.size()));
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	EXPECT_EQ(Receive(), Payload);
	EXPECT_EQ(Source->GetPort(), Other->GetPortNo());
}

TEST_F(SocketTest, ClosedSocketNeitherWaitsSuccessfullyNorReceives)
{
	// Data queued before the close must not make the closed socket look readable.
	ASSERT_TRUE(Sender.Send(Port, "late"));
	ASSERT_TRUE(Receiver->Wait(ESocketWaitConditions::WaitForRead, LongWait));
	EXPECT_TRUE(Receiver->Close());
	EXPECT_FALSE(Receiver->Close());

	EXPECT_FALSE(Receiver->Wait(ESocketWaitConditions::WaitForRead, FTimespan::FromMilliseconds(20)));
	uint32 PendingSize = 0;
	EXPECT_FALSE(Receiver->HasPendingData(PendingSize));
	EXPECT_EQ(Receive(), "<failed>");
}

TEST(SocketSubsystem, GivesThePlatformSubsystemAndRefusesUnknownNames)
{
	ISocketSubsystem* const Platform = ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM);
	ASSERT_NE(Platform, nullptr);
	EXPECT_EQ(ISocketSubsystem::Get(), Platform);
	EXPECT_EQ(ISocketSubsystem::Get(FName(TEXT("SocketTestNoSuchSubsystem"))), nullptr);

	EXPECT_EQ(Platform->CreateSocket(FName(TEXT("SocketTestNoSuchType")), FString(TEXT("x"))), nullptr);
	const FSocketPtr Forced(Platform->CreateSocket(FName(TEXT("SocketTestNoSuchType")), FString(TEXT("x")), true));
	ASSERT_NE(Forced, nullptr);
	EXPECT_EQ(Forced->GetSocketType(), SOCKTYPE_Datagram);
	Platform->DestroySocket(nullptr);

	const TSharedRef<FInternetAddr> Empty = Platform->CreateInternetAddr();
	uint32 Ip = 1;
	Empty->GetIp(Ip);
	EXPECT_EQ(Ip, 0u);
	EXPECT_EQ(Empty->GetPort(), 0);
}
