#include "SocketSubsystem.h"

#include "IPAddressBSD.h"
#include "SocketsBSD.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

DEFINE_LOG_CATEGORY(LogSockets)

const FName FNetworkProtocolTypes::IPv4(TEXT("IPv4"));
const FName FNetworkProtocolTypes::IPv6(TEXT("IPv6"));

namespace
{
/** The platform's socket subsystem over POSIX sockets. Holds no state, so any thread may use it. */
class FSocketSubsystemBSD final : public ISocketSubsystem
{
public:
	FSocket* CreateSocket(const FName& SocketType, const FString& SocketDescription, bool bForceUDP) override
	{
		const bool bDatagram = bForceUDP || SocketType == NAME_DGram;
		if (!bDatagram && SocketType != NAME_Stream)
		{
			return nullptr;
		}
		const int Descriptor = ::socket(AF_INET, (bDatagram ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
		if (Descriptor < 0)
		{
			return nullptr;
		}
		return new FSocketBSD(Descriptor, bDatagram ? SOCKTYPE_Datagram : SOCKTYPE_Streaming, SocketDescription);
	}

	FSocket* CreateSocket(const FName& SocketType, const FString& SocketDescription, const FName& ProtocolName) override
	{
		// Only IPv4 addresses exist here, so an IPv6 socket is refused rather than made as an IPv4 one.
		if (ProtocolName != NAME_None && ProtocolName != FNetworkProtocolTypes::IPv4)
		{
			return nullptr;
		}
		return CreateSocket(SocketType, SocketDescription, false);
	}

	void DestroySocket(FSocket* Socket) override { delete Socket; }

	TSharedRef<FInternetAddr> CreateInternetAddr() override { return MakeShared<FInternetAddrBSD>(); }

	FString GetLastErrorText() override
	{
		char Buffer[256];
		return FString(UTF8_TO_TCHAR(strerror_r(errno, Buffer, sizeof(Buffer))));
	}
};
} // namespace

ISocketSubsystem* ISocketSubsystem::Get(const FName& SubsystemName)
{
	static FSocketSubsystemBSD Platform;
	return (SubsystemName.IsNone() || SubsystemName == PLATFORM_SOCKETSUBSYSTEM) ? &Platform : nullptr;
}
