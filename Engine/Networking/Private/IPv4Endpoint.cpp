#include "Interfaces/IPv4/IPv4Endpoint.h"

#include "SocketSubsystem.h"

namespace
{
// Reads 1 to MaxDigits decimal digits at Text[Position] into OutValue; false when there are none or too many.
bool ReadDecimal(const FString& Text, int32& Position, int32 MaxDigits, uint32& OutValue)
{
	OutValue = 0;
	int32 Digits = 0;
	while (Position < Text.Len() && FChar::IsDigit(Text[Position]))
	{
		if (++Digits > MaxDigits)
		{
			return false;
		}
		OutValue = OutValue * 10 + uint32(Text[Position++] - u'0');
	}
	return Digits > 0;
}

bool ReadAddress(const FString& Text, int32& Position, FIPv4Address& OutAddress)
{
	uint32 Value = 0;
	for (int32 Octet = 0; Octet < 4; ++Octet)
	{
		if (Octet > 0 && (Position >= Text.Len() || Text[Position++] != u'.'))
		{
			return false;
		}
		uint32 OctetValue = 0;
		if (!ReadDecimal(Text, Position, 3, OctetValue) || OctetValue > 255)
		{
			return false;
		}
		Value = (Value << 8) | OctetValue;
	}
	OutAddress = FIPv4Address(Value);
	return true;
}
} // namespace

const FIPv4Address FIPv4Address::Any(0, 0, 0, 0);
const FIPv4Address FIPv4Address::InternalLoopback(127, 0, 0, 1);
const FIPv4Address FIPv4Address::LanBroadcast(255, 255, 255, 255);
const FIPv4Endpoint FIPv4Endpoint::Any(FIPv4Address(0, 0, 0, 0), 0);

FString FIPv4Address::ToString() const
{
	return FString::Printf(TEXT("%u.%u.%u.%u"), A, B, C, D);
}

bool FIPv4Address::Parse(const FString& AddressString, FIPv4Address& OutAddress)
{
	int32 Position = 0;
	FIPv4Address Parsed;
	if (!ReadAddress(AddressString, Position, Parsed) || Position != AddressString.Len())
	{
		return false;
	}
	OutAddress = Parsed;
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

FString FIPv4Endpoint::ToString() const
{
	return FString::Printf(TEXT("%s:%u"), *Address.ToString(), Port);
}

TSharedRef<FInternetAddr> FIPv4Endpoint::ToInternetAddr() const
{
	TSharedRef<FInternetAddr> InternetAddr = ISocketSubsystem::Get(PLATFORM_SOCKETSUBSYSTEM)->CreateInternetAddr();
	InternetAddr->SetIp(Address.Value);
	InternetAddr->SetPort(Port);
	return InternetAddr;
}

bool FIPv4Endpoint::Parse(const FString& EndpointString, FIPv4Endpoint& OutEndpoint)
{
	int32 Position = 0;
	FIPv4Address ParsedAddress;
	uint32 ParsedPort = 0;
	if (!ReadAddress(EndpointString, Position, ParsedAddress)
		|| Position >= EndpointString.Len() || EndpointString[Position++] != u':'
		|| !ReadDecimal(EndpointString, Position, 5, ParsedPort) || ParsedPort > 65535
		|| Position != EndpointString.Len())
	{
		return false;
	}
	OutEndpoint = FIPv4Endpoint(ParsedAddress, uint16(ParsedPort));
	return true;
}
