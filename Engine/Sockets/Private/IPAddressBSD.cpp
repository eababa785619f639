#include "IPAddressBSD.h"

#include <arpa/inet.h>
#include <cstring>

FInternetAddrBSD::FInternetAddrBSD()
{
	std::memset(&Address, 0, sizeof(Address));
	Address.sin_family = AF_INET;
}

void FInternetAddrBSD::SetIp(uint32 InAddr) { Address.sin_addr.s_addr = htonl(InAddr); }

void FInternetAddrBSD::GetIp(uint32& OutAddr) const { OutAddr = ntohl(Address.sin_addr.s_addr); }

void FInternetAddrBSD::SetPort(int32 InPort) { Address.sin_port = htons(uint16(InPort)); }

int32 FInternetAddrBSD::GetPort() const { return ntohs(Address.sin_port); }

void FInternetAddrBSD::SetAnyAddress() { Address.sin_addr.s_addr = htonl(INADDR_ANY); }

FString FInternetAddrBSD::ToString(bool bAppendPort) const
{
	uint32 Ip = 0;
	GetIp(Ip);
	FString Text = FString::Printf(TEXT("%u.%u.%u.%u"), (Ip >> 24) & 0xff, (Ip >> 16) & 0xff, (Ip >> 8) & 0xff, Ip & 0xff);
	return bAppendPort ? FString::Printf(TEXT("%s:%d"), *Text, GetPort()) : Text;
}
