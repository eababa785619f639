#pragma once

#include "CoreTypes.h"

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
}

namespace ESocketReceiveFlags
{
enum Type
{
	None = 0,
	Peek = 2,
	WaitAll = 0x100,
};
}
