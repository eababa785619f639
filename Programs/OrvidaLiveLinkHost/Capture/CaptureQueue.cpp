#include "Capture/CaptureQueue.h"

FHostCaptureQueue::FHostCaptureQueue(size_t InCapacityBytes)
    : CapacityBytes(InCapacityBytes)
{
}

void FHostCaptureQueue::Push(FHostCapturedDatagram&& Datagram)
{
	const size_t RecordBytes = RecordOverheadBytes + (Datagram.Bytes.IsValid() ? size_t(Datagram.Bytes->Num()) : 0);
	{
		std::lock_guard<std::mutex> Guard(Lock);
		if (!bClosed && RecordBytes <= CapacityBytes - QueuedBytes)
		{
			QueuedBytes += RecordBytes;
			Queued.push_back(std::move(Datagram));
			Pushed.notify_one();
			return;
		}
	}
	Dropped.fetch_add(1, std::memory_order_relaxed);
}

bool FHostCaptureQueue::PopAll(std::vector<FHostCapturedDatagram>& Out)
{
	Out.clear();
	std::unique_lock<std::mutex> Guard(Lock);
	Pushed.wait(Guard, [this] { return !Queued.empty() || bClosed; });
	Out.swap(Queued);
	QueuedBytes = 0;
	return !Out.empty();
}

void FHostCaptureQueue::Close()
{
	std::lock_guard<std::mutex> Guard(Lock);
	bClosed = true;
	Pushed.notify_all();
}
