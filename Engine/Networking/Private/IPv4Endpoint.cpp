#include "Interfaces/IPv4/IPv4Endpoint.h"

#include "SocketSubsystem.h"

const FIPv4Address FIPv4Address::Any(0, 0, 0, 0);
const FIPv4Address FIPv4Address::InternalLoopback(127, 0, 0, 1);
const FIPv4Address FIPv4Address::LanBroadcast(255, 255, 255, 255);
const FIPv4Endpoint FIPv4Endpoint::Any(FIPv4Address(0, 0, 0, 0), 0);

FString FIPv4Address::ToString() const { return FString::Printf(TEXT("%u.%u.%u.%u"), A, B, C, D); }

bool FIPv4Address::Parse(const FString& AddressString, FIPv4Address& OutAddress)
{
	TArray<FString> Tokens;
	if (AddressString.ParseIntoArray(Tokens, TEXT("."), false) != 4)
	{
		return false;
	}
	// Each piece keeps only the low byte of what Atoi makes of it, as in the engine.
	OutAddress.A = uint8(FCString::Atoi(*Tokens[0]));
	OutAddress.B = uint8(FCString::Atoi(*Tokens[1]));
	OutAddress.C = uint8(FCString::Atoi(*Tokens[2]));
	OutAddress.D = uint8(FCString::Atoi(*Tokens[3]));
	return true;
}

FIPv4Endpoint::FIPv4Endpoint(const TSharedPtr<FInternetAddr>& InternetAddr)
{
	if (InternetAddr.IsValid())
	{
		uint32 Ip = 0;
		InternetAddr->GetIp(Ip);
		Address = FIPv4Address(Ip);
		Port = uint16(InternetAddr->GetPort());
	}
}

FString FIPv4Endpoint::ToString() const { return FString::Printf(TEXT("%s:%u"), *Address.ToString(), Port); }

TSharedRef<FInternetAddr> FIPv4Endpoint::ToInternetAddr() const
{
	TSharedRef<FInternetAddr> InternetAddr = ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM)->CreateInternetAddr();
	InternetAddr->SetIp(Address.Value);
	InternetAddr->SetPort(Port);
	return InternetAddr;
}

bool FIPv4Endpoint::Parse(const FString& EndpointString, FIPv4Endpoint& OutEndpoint)
{
	TArray<FString> Tokens;
	if (EndpointString.ParseIntoArray(Tokens, TEXT(":"), false) != 2 || !FIPv4Address::Parse(Tokens[0], OutEndpoint.Address))
	{
		return false;
	}
	OutEndpoint.Port = uint16(FCString::Atoi(*Tokens[1]));
	return true;
}
