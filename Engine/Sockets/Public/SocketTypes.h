#pragma once

#include "CoreTypes.h"
#include "UObject/NameTypes.h"

enum ESocketType
{
	SOCKTYPE_Unknown,
	SOCKTYPE_Datagram,
	SOCKTYPE_Streaming,
};

namespace ESocketWaitConditions
{
enum Type
{
	WaitForRead,
	WaitForWrite,
	WaitForReadOrWrite,
};
} // namespace ESocketWaitConditions

namespace ESocketReceiveFlags
{
enum Type
{
	None = 0,
	Peek = 2,
	WaitAll = 0x100,
};
} // namespace ESocketReceiveFlags

/** The protocol names ISocketSubsystem::CreateSocket takes. */
class SOCKETS_API FNetworkProtocolTypes
{
public:
	static const FName IPv4;
	static const FName IPv6;
};
