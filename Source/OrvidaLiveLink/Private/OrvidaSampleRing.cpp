#include "OrvidaSampleRing.h"

#include "Misc/FrameTime.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace OrvidaSampleRing
{
// Rates outside this band are not camera rates: a broken timecode must not stop or race the clock.
constexpr double MinPlayoutRate = 1.0;
constexpr double MaxPlayoutRate = 1000.0;
// A sender that falls behind and catches up in a burst delivers frames the clock has already stepped over, and
// the ring drops them as it drops those of a stream faster than the ticks: the engine's skipping, not loss. A
// step keeps up to this much of the clock's skipping owed to later drops; much longer, and the credit would hide
// a stream that steadily arrives faster than its own timecode rate.
constexpr double SkipCreditSeconds = 1.0;
} // namespace OrvidaSampleRing

FOrvidaSampleRing::FOrvidaSampleRing(FSteadyClock InSteadyClock)
    : SteadyClock(MoveTemp(InSteadyClock))
{
	AnchorMs = NowMilliseconds();
}

void FOrvidaSampleRing::CommitSample(FOrvidaCameraSample Sample)
{
	// Read before the lock: an injected clock is the caller's code.
	const int64 Now = GetSteadyNanoseconds();
	std::lock_guard<std::mutex> Guard(RingLock);
	SampleRing[WriteIndex] = MoveTemp(Sample);
	CommitNanoseconds[WriteIndex] = Now;
	WriteIndex = (WriteIndex + 1) % RingCapacity;
	++CommittedSamples;
	if (RingCount == RingCapacity)
	{
		// Dropping the oldest also while buffering keeps samples in the order they came.
		ReadIndex = (ReadIndex + 1) % RingCapacity;
		++DroppedSamples;
	}
	else
	{
		++RingCount;
	}
	if (ReadIndex < 0)
	{
		ReadIndex = 0;
	}
}

bool FOrvidaSampleRing::StepPlayoutClock(FOrvidaCameraSample& OutDueSample)
{
	std::lock_guard<std::mutex> Guard(RingLock);
	if (ReadIndex < 0)
	{
		return false;
	}

	const double Position = GetPlayoutPosition();
	const int64 PlayoutFrame = int64(std::floor(Position + 0.5));
	const double Fraction = Position - std::floor(Position);
	// A NaN fraction fails the comparison and reads as 0.
	PlayoutSubframe = Fraction >= 0.0 ? std::min(float(Fraction), FFrameTime::MaxSubframe) : 0.0f;

	if (PlayoutFrame > LastPlayoutFrame)
	{
		// The read position moves on by one slot whatever the clock passed: the frames in between are the
		// engine's to skip, and the drops since the last step that they account for are decimation, not loss.
		SkippedFrames += PlayoutFrame - LastPlayoutFrame - 1;
		const int64 NewDrops = DroppedSamples - DecimatedSamples - LostSamples;
		const int64 Owed = std::min(SkippedFrames, NewDrops);
		DecimatedSamples += Owed;
		LostSamples += NewDrops - Owed;
		const int64 SkipCredit = std::max<int64>(RingCapacity, int64(PlayoutRate * OrvidaSampleRing::SkipCreditSeconds));
		SkippedFrames = std::min<int64>(SkippedFrames - Owed, SkipCredit);
		LastPlayoutFrame = PlayoutFrame;
		if (RingCount <= 1)
		{
			// Moving on would reach a slot no commit has filled since: keep the due sample and refill.
			bBuffering = true;
			++Underruns;
		}
		else if (!bBuffering)
		{
			ReadIndex = (ReadIndex + 1) % RingCapacity;
			--RingCount;
		}
		else if (RingCount >= RingCapacity / 2)
		{
			bBuffering = false;
		}
	}
	OutDueSample = SampleRing[ReadIndex];
	DueCommitNanoseconds = CommitNanoseconds[ReadIndex];
	return true;
}

bool FOrvidaSampleRing::UpdatePlayoutRate()
{
	int32 Numerator = 0;
	int32 Denominator = 0;
	{
		std::lock_guard<std::mutex> Guard(RingLock);
		Numerator = SampleRing[WriteIndex].Timecode[1];
		Denominator = SampleRing[WriteIndex].Timecode[2];
	}
	if (!IsUsableFrameRate(Numerator, Denominator))
	{
		return false;
	}
	const double Rate = double(Numerator) / double(Denominator);
	if (Rate != PlayoutRate)
	{
		// Counted from construction, a stream that starts late at a lower rate would put the frame number far
		// below the last one acted on and stall the clock; one stray high rate would do the same on its way back.
		const int64 NowMs = NowMilliseconds();
		AnchorPosition = PlayoutPositionAt(NowMs);
		AnchorMs = NowMs;
		PlayoutRate = Rate;
	}
	return true;
}

bool FOrvidaSampleRing::IsUsableFrameRate(int32 Numerator, int32 Denominator)
{
	// A frame rate is published as unsigned numbers: -25/-1 reads as 25 here but would reach Live Link as two
	// numbers near four billion, so a denominator must be positive (the engine's own rates need that too).
	if (Denominator <= 0)
	{
		return false;
	}
	const double Rate = double(Numerator) / double(Denominator);
	return Rate >= OrvidaSampleRing::MinPlayoutRate && Rate <= OrvidaSampleRing::MaxPlayoutRate;
}

double FOrvidaSampleRing::GetPlayoutPosition() const { return PlayoutPositionAt(NowMilliseconds()); }

double FOrvidaSampleRing::PlayoutPositionAt(int64 NowMs) const
{
	const uint64 ElapsedMs = uint64(NowMs - AnchorMs);
	return AnchorPosition + double(ElapsedMs) * 0.001 * PlayoutRate;
}

FOrvidaSampleRing::FStats FOrvidaSampleRing::GetStats() const
{
	std::lock_guard<std::mutex> Guard(RingLock);
	return FStats{CommittedSamples, DroppedSamples, DecimatedSamples, LostSamples, Underruns, RingCount, bBuffering};
}

int64 FOrvidaSampleRing::GetSteadyNanoseconds() const
{
	if (SteadyClock)
	{
		return SteadyClock() * 1000000;
	}
	return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int64 FOrvidaSampleRing::NowMilliseconds() const
{
	if (SteadyClock)
	{
		return SteadyClock();
	}
	return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
