#include "Interfaces/IPv4/IPv4Endpoint.h"
#include "Interfaces/IPv4/IPv4Address.h"
#include "SocketSubsystem.h"

#include <gtest/gtest.h>

namespace
{
// A value no parse of the inputs below can produce, to show a failed parse leaves its output alone.
const FIPv4Endpoint Untouched(FIPv4Address(9, 8, 7, 6), 5432);
} // namespace

// What the engine's parse makes of each text: it counts pieces, then reads each with Atoi and truncates.
TEST(IPv4Endpoint, ParseCountsPiecesAndTruncatesWhatAtoiReads)
{
	const struct
	{
		const TCHAR* Text;
		bool bValid;
		FIPv4Endpoint Expected;
	} Rows[] = {
	    {TEXT("10.0.0.5:7000"), true, FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000)},
	    {TEXT("1.22.133.4:00080"), true, FIPv4Endpoint(FIPv4Address(1, 22, 133, 4), 80)},
	    {TEXT("a.b.c.d:9001"), true, FIPv4Endpoint(FIPv4Address(0, 0, 0, 0), 9001)},
	    {TEXT("300.1.2.3:9001"), true, FIPv4Endpoint(FIPv4Address(44, 1, 2, 3), 9001)},
	    {TEXT("-1.2.3.4:9001"), true, FIPv4Endpoint(FIPv4Address(255, 2, 3, 4), 9001)},
	    {TEXT("1.2.3.4:70000"), true, FIPv4Endpoint(FIPv4Address(1, 2, 3, 4), 4464)},
	    {TEXT("1.2.3.4:-1"), true, FIPv4Endpoint(FIPv4Address(1, 2, 3, 4), 65535)},
	    {TEXT("1.2.3.4:"), true, FIPv4Endpoint(FIPv4Address(1, 2, 3, 4), 0)},
	    {TEXT("1..2.3:4"), true, FIPv4Endpoint(FIPv4Address(1, 0, 2, 3), 4)},
	    {TEXT("...:5"), true, FIPv4Endpoint(FIPv4Address(0, 0, 0, 0), 5)},
	    {TEXT(" +1.2.3.4 :\t6x"), true, FIPv4Endpoint(FIPv4Address(1, 2, 3, 4), 6)},
	    {TEXT("1.2.3.4:5.6"), true, FIPv4Endpoint(FIPv4Address(1, 2, 3, 4), 5)},
	    {TEXT(""), false, {}},
	    {TEXT("10.0.0.5"), false, {}},
	    {TEXT(":7000"), false, {}},
	    {TEXT("1.2.3:4"), false, {}},
	    {TEXT("1.2.3.4.5:6"), false, {}},
	    {TEXT("1.2.3.4:5:6"), false, {}},
	    {TEXT("1.2.3.4:5:"), false, {}},
	};
	for (const auto& Row : Rows)
	{
		FIPv4Endpoint Parsed = Untouched;
		EXPECT_EQ(FIPv4Endpoint::Parse(FString(Row.Text), Parsed), Row.bValid) << TCHAR_TO_UTF8(Row.Text);
		EXPECT_EQ(Parsed, Row.bValid ? Row.Expected : Untouched) << TCHAR_TO_UTF8(Row.Text);
	}
}

TEST(IPv4Address, ParseCountsPiecesAndTruncatesWhatAtoiReads)
{
	const struct
	{
		const TCHAR* Text;
		bool bValid;
		FIPv4Address Expected;
	} Rows[] = {
	    {TEXT("192.168.1.20"), true, FIPv4Address(192, 168, 1, 20)},
	    {TEXT("1.2.3.256"), true, FIPv4Address(1, 2, 3, 0)},
	    {TEXT("1.2.3.04x"), true, FIPv4Address(1, 2, 3, 4)},
	    {TEXT("7.6.5.4:3"), true, FIPv4Address(7, 6, 5, 4)},
	    {TEXT("1.2.3"), false, {}},
	    {TEXT("1.2.3.4."), false, {}},
	    {TEXT("localhost"), false, {}},
	};
	for (const auto& Row : Rows)
	{
		FIPv4Address Parsed = Untouched.Address;
		EXPECT_EQ(FIPv4Address::Parse(FString(Row.Text), Parsed), Row.bValid) << TCHAR_TO_UTF8(Row.Text);
		EXPECT_EQ(Parsed, Row.bValid ? Row.Expected : Untouched.Address) << TCHAR_TO_UTF8(Row.Text);
	}
}

TEST(IPv4Endpoint, ToStringParsesBackUnchanged)
{
	const FIPv4Endpoint Endpoints[] = {
	    FIPv4Endpoint::Any,
	    FIPv4Endpoint(FIPv4Address::InternalLoopback, 9001),
	    FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000),
	    FIPv4Endpoint(FIPv4Address(255, 255, 255, 255), 65535),
	    FIPv4Endpoint(FIPv4Address(192, 168, 100, 200), 1),
	};
	for (const FIPv4Endpoint& Endpoint : Endpoints)
	{
		const FString Text = Endpoint.ToString();
		FIPv4Endpoint Parsed;
		EXPECT_TRUE(FIPv4Endpoint::Parse(Text, Parsed)) << TCHAR_TO_UTF8(*Text);
		EXPECT_EQ(Parsed, Endpoint) << TCHAR_TO_UTF8(*Text);
	}
	EXPECT_EQ(FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000).ToString().GetStdString(), u"10.0.0.5:7000");
	EXPECT_EQ(FIPv4Address(192, 168, 100, 200).ToString().GetStdString(), u"192.168.100.200");
}

TEST(IPv4Address, WellKnownValuesAndByteLayout)
{
	EXPECT_EQ(FIPv4Address::Any.Value, 0u);
	EXPECT_EQ(FIPv4Address::InternalLoopback.Value, 0x7F000001u);
	EXPECT_EQ(FIPv4Address::LanBroadcast.Value, 0xFFFFFFFFu);
	EXPECT_EQ(FIPv4Endpoint::Any, FIPv4Endpoint(FIPv4Address::Any, 0));

	// A is the most significant byte of Value, D the least.
	const FIPv4Address Address(1, 2, 3, 4);
	EXPECT_EQ(Address.Value, 0x01020304u);
	EXPECT_EQ(Address.A, 1);
	EXPECT_EQ(Address.D, 4);
	const FIPv4Address FromValue(0xC0A80114u);
	EXPECT_EQ(FromValue.A, 192);
	EXPECT_EQ(FromValue.B, 168);
	EXPECT_EQ(FromValue.C, 1);
	EXPECT_EQ(FromValue.D, 20);
}

TEST(IPv4Endpoint, ConvertsToAndFromAnInternetAddress)
{
	const FIPv4Endpoint Endpoint(FIPv4Address(192, 168, 1, 20), 54321);
	const TSharedRef<FInternetAddr> InternetAddr = Endpoint.ToInternetAddr();
	uint32 Ip = 0;
	InternetAddr->GetIp(Ip);
	EXPECT_EQ(Ip, 0xC0A80114u);
	EXPECT_EQ(InternetAddr->GetPort(), 54321);
	EXPECT_EQ(InternetAddr->ToString(true).GetStdString(), u"192.168.1.20:54321");

	EXPECT_EQ(FIPv4Endpoint(InternetAddr.ToSharedPtr()), Endpoint);
	EXPECT_EQ(FIPv4Endpoint(TSharedPtr<FInternetAddr>()), FIPv4Endpoint::Any);
}
