#pragma once

#include "IPAddress.h"

#include <netinet/in.h>

/** An IPv4 address over the system's sockaddr_in. */
class FInternetAddrBSD final : public FInternetAddr
{
public:
	FInternetAddrBSD();

	void SetIp(uint32 InAddr) override;
	void GetIp(uint32& OutAddr) const override;
	void SetPort(int32 InPort) override;
	int32 GetPort() const override;
	void SetAnyAddress() override;
	FString ToString(bool bAppendPort) const override;
	bool IsValid() const override { return true; }

	const sockaddr_in& GetStorage() const { return Address; }
	sockaddr_in& GetStorage() { return Address; }

private:
	sockaddr_in Address;
};
