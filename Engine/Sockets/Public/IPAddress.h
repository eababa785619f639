#pragma once

#include "CoreMinimal.h"

/** An internet address with a port, as a socket subsystem makes it. Only IPv4 is supported here. */
class SOCKETS_API FInternetAddr
{
public:
	virtual ~FInternetAddr() = default;

	/** Sets the IPv4 address from its host-order value. */
	virtual void SetIp(uint32 InAddr) = 0;
	/** The IPv4 address in host order. */
	virtual void GetIp(uint32& OutAddr) const = 0;
	virtual void SetPort(int32 InPort) = 0;
	virtual int32 GetPort() const = 0;
	virtual void SetAnyAddress() = 0;
	/** "a.b.c.d", or "a.b.c.d:port" with bAppendPort. */
	virtual FString ToString(bool bAppendPort) const = 0;
	virtual bool IsValid() const = 0;
};
