#include "OrvidaStreamHealth.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace OrvidaStreamHealth
{
constexpr int64 NanosecondsPerSecond = 1000000000;
constexpr int64 Never = std::numeric_limits<int64>::min();
constexpr uint64 UsedKeyBit = uint64(1) << 48;
} // namespace OrvidaStreamHealth

FOrvidaStreamHealth::FOrvidaStreamHealth()
    : LastArrivalNanoseconds(OrvidaStreamHealth::Never)
    , InterarrivalNanoseconds(OrvidaStreamHealth::Never)
{
	for (FCounter& LastSeen : SenderLastSeen)
	{
		LastSeen.store(OrvidaStreamHealth::Never, std::memory_order_relaxed);
	}
}

void FOrvidaStreamHealth::RecordDatagram(int32 InBytes, const FIPv4Endpoint& Sender, int64 ArrivalNanoseconds)
{
	Add(Datagrams, 1);
	Add(Bytes, InBytes);
	if (CurrentArrivalNanoseconds != OrvidaStreamHealth::Never)
	{
		InterarrivalNanoseconds.store(ArrivalNanoseconds - CurrentArrivalNanoseconds, std::memory_order_relaxed);
	}
	LastArrivalNanoseconds.store(ArrivalNanoseconds, std::memory_order_relaxed);
	CurrentArrivalNanoseconds = ArrivalNanoseconds;
	RecordSender(Sender, ArrivalNanoseconds);
}

void FOrvidaStreamHealth::RecordDecode(const FOrvidaCameraMessageDecoder::FOutcome& Outcome)
{
	if (!Outcome.bParsed)
	{
		Add(UnparsedDatagrams, 1);
	}
	else if (!Outcome.bHasCameraRecord)
	{
		Add(DatagramsWithoutCamera, 1);
	}
	if (Outcome.ForeignKeys > 0)
	{
		Add(ForeignKeys, Outcome.ForeignKeys);
	}
}

void FOrvidaStreamHealth::RecordTimecode(const int32 (&Timecode)[3])
{
	if (!FOrvidaSampleRing::IsUsableFrameRate(Timecode[1], Timecode[2]))
	{
		return;
	}
	if (bHasPreviousTimecode && Timecode[1] == PreviousTimecode[1] && Timecode[2] == PreviousTimecode[2])
	{
		// In 64 bits: frame numbers far apart must not wrap into a small step.
		const int64 Step = int64(Timecode[0]) - int64(PreviousTimecode[0]);
		if (Step > 1)
		{
			Add(TimecodeGaps, 1);
		}
		else if (Step <= 0)
		{
			Add(TimecodeRepeats, 1);
		}
	}
	std::copy(std::begin(Timecode), std::end(Timecode), std::begin(PreviousTimecode));
	bHasPreviousTimecode = true;

	const double TimecodeSeconds = double(Timecode[0]) * double(Timecode[2]) / double(Timecode[1]);
	Jitter.AddArrival(double(CurrentArrivalNanoseconds) / double(OrvidaStreamHealth::NanosecondsPerSecond), TimecodeSeconds);
	JitterMilliseconds.store(Jitter.GetJitterMilliseconds(), std::memory_order_relaxed);
}

FOrvidaStreamHealth::FSnapshot FOrvidaStreamHealth::GetSnapshot(const FOrvidaSampleRing& Ring) const
{
	FSnapshot Snapshot;
	Snapshot.Datagrams = Datagrams.load(std::memory_order_relaxed);
	Snapshot.Bytes = Bytes.load(std::memory_order_relaxed);
	Snapshot.UnparsedDatagrams = UnparsedDatagrams.load(std::memory_order_relaxed);
	Snapshot.DatagramsWithoutCamera = DatagramsWithoutCamera.load(std::memory_order_relaxed);
	Snapshot.ForeignKeys = ForeignKeys.load(std::memory_order_relaxed);
	Snapshot.TimecodeGaps = TimecodeGaps.load(std::memory_order_relaxed);
	Snapshot.TimecodeRepeats = TimecodeRepeats.load(std::memory_order_relaxed);
	Snapshot.JitterMilliseconds = JitterMilliseconds.load(std::memory_order_relaxed);
	Snapshot.Ring = Ring.GetStats();

	const int64 LastArrival = LastArrivalNanoseconds.load(std::memory_order_relaxed);
	// Never negative, also when a clock that a test sets goes back.
	const int64 Now = Ring.GetSteadyNanoseconds();
	const int64 Interarrival = InterarrivalNanoseconds.load(std::memory_order_relaxed);
	if (Interarrival != OrvidaStreamHealth::Never)
	{
		Snapshot.InterarrivalMilliseconds = double(Interarrival) / 1e6;
	}
	if (LastArrival != OrvidaStreamHealth::Never)
	{
		Snapshot.SecondsSinceLastDatagram = double(std::max<int64>(Now - LastArrival, 0)) / double(OrvidaStreamHealth::NanosecondsPerSecond);
	}
	const int64 RecentSince = Now - RecentSenderSeconds * OrvidaStreamHealth::NanosecondsPerSecond;
	for (const FCounter& LastSeen : SenderLastSeen)
	{
		Snapshot.RecentSenders += LastSeen.load(std::memory_order_relaxed) > RecentSince ? 1 : 0;
	}
	return Snapshot;
}

void FOrvidaStreamHealth::Add(FCounter& Counter, int64 Amount) { Counter.store(Counter.load(std::memory_order_relaxed) + Amount, std::memory_order_relaxed); }

void FOrvidaStreamHealth::RecordSender(const FIPv4Endpoint& Sender, int64 ArrivalNanoseconds)
{
	const uint64 Key = OrvidaStreamHealth::UsedKeyBit | (uint64(Sender.Address.Value) << 16) | uint64(Sender.Port);
	int32 Index = LastSenderIndex;
	if (SenderKeys[Index] != Key)
	{
		const uint64* Found = std::find(std::begin(SenderKeys), std::end(SenderKeys), Key);
		if (Found != std::end(SenderKeys))
		{
			Index = int32(Found - std::begin(SenderKeys));
		}
		else
		{
			// A new sender takes an unused entry or, in a full table, the one seen longest ago.
			for (int32 Candidate = 0; Candidate < MaxSenders; ++Candidate)
			{
				if (SenderLastSeen[Candidate].load(std::memory_order_relaxed) < SenderLastSeen[Index].load(std::memory_order_relaxed))
				{
					Index = Candidate;
				}
			}
			SenderKeys[Index] = Key;
		}
		LastSenderIndex = Index;
	}
	SenderLastSeen[Index].store(ArrivalNanoseconds, std::memory_order_relaxed);
}
