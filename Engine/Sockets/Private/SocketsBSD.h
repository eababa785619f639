#pragma once

#include "Sockets.h"

#include <atomic>

/** A socket over a POSIX file descriptor. */
class FSocketBSD final : public FSocket
{
public:
	FSocketBSD(int InDescriptor, ESocketType InSocketType, const FString& InSocketDescription);
	~FSocketBSD() override;

	bool Close() override;
	bool Bind(const FInternetAddr& Addr) override;
	bool Wait(ESocketWaitConditions::Type Condition, FTimespan WaitTime) override;
	bool HasPendingData(uint32& PendingDataSize) override;
	bool RecvFrom(uint8* Data, int32 BufferSize, int32& BytesRead, FInternetAddr& Source, ESocketReceiveFlags::Type Flags) override;
	bool SendTo(const uint8* Data, int32 Count, int32& BytesSent, const FInternetAddr& Destination) override;
	void GetAddress(FInternetAddr& OutAddr) override;
	int32 GetPortNo() override;

	bool SetNonBlocking(bool bIsNonBlocking) override;
	bool SetReuseAddr(bool bAllowReuse) override;
	bool SetBroadcast(bool bAllowBroadcast) override;
	bool SetReceiveBufferSize(int32 Size, int32& NewSize) override;
	bool SetSendBufferSize(int32 Size, int32& NewSize) override;
	bool JoinMulticastGroup(const FInternetAddr& GroupAddress, const FInternetAddr& InterfaceAddress) override;
	bool SetMulticastLoopback(bool bLoopback) override;
	bool SetMulticastTtl(uint8 TimeToLive) override;
	bool SetMulticastInterface(const FInternetAddr& InterfaceAddress) override;

	int64 GetWaitCallCount() const { return WaitCalls.load(std::memory_order_relaxed); }

private:
	bool SetIntOption(int Level, int Name, int Value);
	bool SetBufferSize(int Name, int32 Size, int32& NewSize);

	/** -1 once closed. */
	int Descriptor;
	/** Counted as each Wait begins; read from any thread. */
	std::atomic<int64> WaitCalls{0};
};
