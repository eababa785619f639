#pragma once

#include "CoreMinimal.h"
#include "HAL/Runnable.h"

#include <atomic>
#include <functional>
#include <vector>

class FRunnableThread;

/**
 * The floor the source's receiver is measured against: a UDP socket set up as the source sets up its own
 * (127.0.0.1, non-blocking, address reuse, a 1 MiB receive buffer) and a thread of the source's priority that
 * waits with `poll` in the source's 10 ms slices and drains with `recvfrom`, doing nothing with the bytes but
 * hand their size to OnDatagram.
 *
 * Threads: the owner constructs and destroys it (the destructor stops and joins the thread); OnDatagram runs
 * on the receiver thread. GetReceivedCount may be read on any thread.
 */
class FBareUdpReceiver final : public FRunnable
{
public:
	using FOnDatagram = std::function<void(int32 Size)>;

	/** Binds 127.0.0.1:Port and starts the thread; when either fails, IsRunning is false and nothing is received. */
	FBareUdpReceiver(uint16 Port, FOnDatagram InOnDatagram = FOnDatagram());
	~FBareUdpReceiver() override;
	FBareUdpReceiver(const FBareUdpReceiver&) = delete;
	FBareUdpReceiver& operator=(const FBareUdpReceiver&) = delete;

	bool IsRunning() const { return Thread != nullptr; }
	/** Datagrams received so far, empty ones included. */
	int64 GetReceivedCount() const { return ReceivedCount.load(std::memory_order_relaxed); }

	uint32 Run() override;
	void Stop() override { bStop.store(true); }

private:
	FOnDatagram OnDatagram;
	int Descriptor = -1;
	/** The receiver thread's alone. */
	std::vector<uint8> Buffer;
	std::atomic<int64> ReceivedCount{0};
	std::atomic<bool> bStop{false};
	FRunnableThread* Thread = nullptr;
};
