// Feeds arbitrary bytes through the source's decoding and commit path, on a thread with the receiver's stack,
// so that a parse that recurses too deep for that stack shows up as a crash here.

#include "HAL/Runnable.h"
#include "HAL/RunnableThread.h"
#include "Misc/OutputDeviceRedirector.h"
#include "OrvidaCameraMessageDecoder.h"
#include "OrvidaSampleRing.h"
#include "StandIn/StandInLog.h"

#include <condition_variable>
#include <mutex>

namespace
{
/** One long-lived worker with the receiver's 128 KiB stack; each input is handed over and waited for. */
class FReceiverStackWorker final : public FRunnable
{
public:
	FReceiverStackWorker() { Thread = FRunnableThread::Create(this, TEXT("Fuzz receiver"), 128 * 1024, TPri_AboveNormal); }

	void Decode(const uint8* Data, size_t Size)
	{
		std::unique_lock<std::mutex> Guard(Lock);
		Input = Data;
		InputSize = Size;
		bPending = true;
		Changed.notify_all();
		Changed.wait(Guard, [this] { return !bPending; });
	}

	uint32 Run() override
	{
		FOrvidaCameraMessageDecoder Decoder(true);
		FOrvidaSampleRing Ring([] { return int64(0); });
		for (;;)
		{
			std::unique_lock<std::mutex> Guard(Lock);
			Changed.wait(Guard, [this] { return bPending; });
			Decoder.Decode(Input, int32(InputSize), [&Ring](FOrvidaCameraSample&& Sample) { Ring.CommitSample(MoveTemp(Sample)); });
			FOrvidaCameraSample Due;
			Ring.StepPlayoutClock(Due);
			Ring.UpdatePlayoutRate();
			bPending = false;
			Changed.notify_all();
		}
	}

private:
	/** Protects Input, InputSize and bPending. */
	std::mutex Lock;
	std::condition_variable Changed;
	const uint8* Input = nullptr;
	size_t InputSize = 0;
	bool bPending = false;
	FRunnableThread* Thread = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	// The largest datagram UDP can carry; the receiver never sees more.
	if (Size > 65507)
	{
		return 0;
	}
	static FReceiverStackWorker* const Worker = new FReceiverStackWorker();
	Worker->Decode(Data, Size);
	return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
	// Foreign keys and mistyped values log; a fuzz run would otherwise print millions of lines.
	GLog->RemoveOutputDevice(FStandInLog::GetStandardErrorDevice());
	return 0;
}
