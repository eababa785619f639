#include "OrvidaSampleRing.h"

#include "OrvidaCameraSamplePrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
/** A ring on a clock the test moves by hand; each sample is marked by its Timecode[0]. */
class OrvidaSampleRingTest : public testing::Test
{
protected:
	static constexpr int64 FrameMs = 40; // one playout frame at 25 frames per second

	int64 NowMs = 5000;
	FOrvidaSampleRing Ring{[this] { return NowMs; }};
	int32 NextMark = 1;
	/** The rate the committed samples carry, numerator and denominator. */
	int32 StreamRate[2] = {25, 1};

	void Commit(int32 Count = 1)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			FOrvidaCameraSample Sample;
			Sample.Timecode[0] = NextMark++;
			Sample.Timecode[1] = StreamRate[0];
			Sample.Timecode[2] = StreamRate[1];
			Sample.Metadata[1] = FString::FromInt(Sample.Timecode[0]);
			Ring.CommitSample(Sample);
		}
	}

	/** The mark of the due sample after one step at the present time, or 0 when the step found nothing. */
	int32 Step()
	{
		FOrvidaCameraSample Due;
		return Ring.StepPlayoutClock(Due) ? Due.Timecode[0] : 0;
	}

	/** Moves the clock on by whole playout frames and steps once. */
	int32 StepAfterFrames(int32 Frames)
	{
		NowMs += Frames * FrameMs;
		return Step();
	}

	/** One publishing pass: the step, then the rate from the stream, as the tick does them. */
	int32 Tick()
	{
		const int32 Due = Step();
		Ring.UpdatePlayoutRate();
		return Due;
	}

	/** Fills the ring to three and steps until playing, as a stream arriving at the playout rate would. */
	void StartPlaying()
	{
		Commit(3);
		StepAfterFrames(1);
		ASSERT_FALSE(Ring.GetStats().bBuffering);
	}
};
} // namespace

TEST_F(OrvidaSampleRingTest, NothingIsDueBeforeTheFirstCommit)
{
	EXPECT_EQ(Step(), 0);
	EXPECT_EQ(StepAfterFrames(10), 0);
	Commit();
	EXPECT_EQ(Step(), 1);
	const FOrvidaSampleRing::FStats Stats = Ring.GetStats();
	EXPECT_EQ(Stats.RingCount, 1);
	EXPECT_TRUE(Stats.bBuffering);
}

TEST_F(OrvidaSampleRingTest, BuffersUntilHalfFullThenPlaysOneSlotPerPlayoutFrame)
{
	// Samples arrive at the playout rate, one per frame: the first stays due while the ring fills.
	std::vector<int32> Due;
	std::vector<int64> WaitedMs;
	for (int32 Frame = 0; Frame < 8; ++Frame)
	{
		Commit();
		Due.push_back(StepAfterFrames(1));
		WaitedMs.push_back((Ring.GetSteadyNanoseconds() - Ring.GetDueCommitNanoseconds()) / 1000000);
	}
	// Frames 1 and 2 buffer (1 and 2 samples); frame 3 finds 3 and starts playing without moving; from then on
	// every frame moves one slot while one sample arrives, so the lag of two samples stays, and the due sample
	// has waited three frames since it came.
	EXPECT_EQ(Due, (std::vector<int32>{1, 1, 1, 2, 3, 4, 5, 6}));
	EXPECT_EQ(WaitedMs, (std::vector<int64>{40, 80, 120, 120, 120, 120, 120, 120}));
}

TEST_F(OrvidaSampleRingTest, StepsWithinOnePlayoutFrameDoNotMove)
{
	StartPlaying();
	Commit(3);
	const int32 Before = Step();
	NowMs += FrameMs / 8;
	EXPECT_EQ(Step(), Before);
	NowMs += FrameMs / 8;
	EXPECT_EQ(Step(), Before);
}

TEST_F(OrvidaSampleRingTest, MovesOneSlotPerStepHoweverManyFramesPassed)
{
	StartPlaying();
	Commit(3);
	EXPECT_EQ(StepAfterFrames(10), 2);
	EXPECT_EQ(StepAfterFrames(7), 3);
}

TEST_F(OrvidaSampleRingTest, WriteIndexWrapsAndAFullRingDropsTheOldestWhilePlaying)
{
	StartPlaying();
	Commit(3); // six committed: the ring is full, sample 1 due
	EXPECT_EQ(Ring.GetStats().RingCount, 6);
	Commit(); // the seventh goes into slot 0 and drops sample 1
	EXPECT_EQ(Ring.GetStats().RingCount, 6);
	EXPECT_EQ(Ring.GetStats().DroppedSamples, 1);
	EXPECT_EQ(Step(), 2);
	std::vector<int32> Due;
	for (int32 Frame = 0; Frame < 5; ++Frame)
	{
		Due.push_back(StepAfterFrames(1));
	}
	EXPECT_EQ(Due, (std::vector<int32>{3, 4, 5, 6, 7}));
}

TEST_F(OrvidaSampleRingTest, AFullRingWhileBufferingStillPlaysInOrder)
{
	// Eight samples before the first step: the two oldest go, and what is left plays in the order it came.
	Commit(8);
	EXPECT_EQ(Ring.GetStats().DroppedSamples, 2);
	EXPECT_EQ(Step(), 3);
	std::vector<int32> Due;
	for (int32 Frame = 0; Frame < 6; ++Frame)
	{
		Due.push_back(StepAfterFrames(1));
	}
	EXPECT_EQ(Due, (std::vector<int32>{3, 4, 5, 6, 7, 8}));
}

// Faults caught: the drops of a stream four times faster than the steps counted as loss (a 240/s stream into 60
// ticks a second would read as trouble by design), the late samples of a sender that fell behind and caught up
// counted as loss (a loaded machine would read as a lossy network), and the drops of a burst at the playout rate
// counted as decimation (loss hidden).
TEST_F(OrvidaSampleRingTest, DropsOwedToSkippedFramesAreDecimatedAndThoseOfABurstAreNot)
{
	StartPlaying();
	Commit(8);
	StepAfterFrames(1);
	EXPECT_EQ(Ring.GetStats().DroppedSamples, 5);
	EXPECT_EQ(Ring.GetStats().DecimatedSamples, 0);
	EXPECT_EQ(Ring.GetStats().LostSamples, 5);
	for (int32 Tick = 0; Tick < 10; ++Tick)
	{
		Commit(4);
		StepAfterFrames(4);
	}
	EXPECT_EQ(Ring.GetStats().DroppedSamples, 35);
	EXPECT_EQ(Ring.GetStats().DecimatedSamples, 30);
	EXPECT_EQ(Ring.GetStats().LostSamples, 5);

	// Half a second behind, then all of it at once.
	for (int32 Tick = 0; Tick < 3; ++Tick)
	{
		StepAfterFrames(4);
	}
	Commit(12);
	StepAfterFrames(1);
	EXPECT_GT(Ring.GetStats().DecimatedSamples, 30);
	EXPECT_EQ(Ring.GetStats().LostSamples, 5);
}

TEST_F(OrvidaSampleRingTest, RunningDryKeepsTheLastSampleDueAndBuffersAgain)
{
	StartPlaying();
	EXPECT_EQ(StepAfterFrames(1), 2);
	EXPECT_EQ(StepAfterFrames(1), 3);
	// Only sample 3 is left: a new frame keeps it due rather than moving onto a slot no commit has filled.
	EXPECT_EQ(StepAfterFrames(1), 3);
	EXPECT_TRUE(Ring.GetStats().bBuffering);
	EXPECT_EQ(StepAfterFrames(1), 3);
	Commit(2); // 3 counts again: the next frame clears buffering, the one after moves on
	EXPECT_EQ(StepAfterFrames(1), 3);
	EXPECT_FALSE(Ring.GetStats().bBuffering);
	EXPECT_EQ(StepAfterFrames(1), 4);
	EXPECT_EQ(Ring.GetStats().Underruns, 2) << "only the two frames that found no sample after the due one";
}

TEST_F(OrvidaSampleRingTest, PlayoutPositionRoundsTheFrameAndKeepsTheFraction)
{
	struct FCase
	{
		int64 ElapsedMs;
		int64 Frame;
		float Subframe;
	};
	// At 25 frames per second: 1,020 ms is 25.5 frames, 1,010 ms is 25.25.
	for (const FCase& Case : {FCase{1010, 25, 0.25f}, FCase{1020, 26, 0.5f}, FCase{1039, 26, 0.975f}})
	{
		int64 Now = 0;
		FOrvidaSampleRing Fresh([&Now] { return Now; });
		Fresh.CommitSample(FOrvidaCameraSample());
		Now = Case.ElapsedMs;
		FOrvidaCameraSample Due;
		ASSERT_TRUE(Fresh.StepPlayoutClock(Due));
		EXPECT_EQ(Fresh.GetLastPlayoutFrame(), Case.Frame) << Case.ElapsedMs;
		EXPECT_NEAR(Fresh.GetPlayoutSubframe(), Case.Subframe, 1e-6) << Case.ElapsedMs;
	}
}

TEST_F(OrvidaSampleRingTest, KeepsItsSubframeAndEveryFrameInSessionsOfDays)
{
	// Past 2^23 and 2^24 playout frames (93 and 186 hours at 25) single precision would lose both.
	for (const int64 Frames : {int64(1) << 23, int64(1) << 24, int64(1) << 26})
	{
		int64 Now = 0;
		FOrvidaSampleRing Long([&Now] { return Now; });
		int32 Mark = 0;
		const auto CommitNext = [&]
		{
			FOrvidaCameraSample Sample;
			Sample.Timecode[0] = ++Mark;
			Long.CommitSample(Sample);
		};
		FOrvidaCameraSample Due;
		for (int32 Index = 0; Index < 4; ++Index)
		{
			CommitNext();
		}
		Now = Frames * FrameMs + 10;
		ASSERT_TRUE(Long.StepPlayoutClock(Due)); // starts playing
		EXPECT_NEAR(Long.GetPlayoutSubframe(), 0.25f, 1e-6) << Frames;
		std::vector<int32> Marks;
		for (int32 Frame = 0; Frame < 3; ++Frame)
		{
			Now += FrameMs;
			CommitNext();
			ASSERT_TRUE(Long.StepPlayoutClock(Due));
			Marks.push_back(Due.Timecode[0]);
		}
		EXPECT_EQ(Marks, (std::vector<int32>{2, 3, 4})) << Frames;
	}
}

TEST_F(OrvidaSampleRingTest, TakesTheRateFromTheTimecodeOnceTheRingHasGoneRound)
{
	struct FCase
	{
		int32 Numerator;
		int32 Denominator;
		bool bTaken;
		double Rate;
	};
	const FCase Cases[] = {
	    {30000, 1001, true, 30000.0 / 1001.0},
	    {24000, 1001, true, 24000.0 / 1001.0},
	    {25, 1, true, 25.0},
	    {50, 1, true, 50.0},
	    // Both ends of the band are camera rates.
	    {1, 1, true, 1.0},
	    {1000, 1, true, 1000.0},
	    {1001, 1, false, 25.0},
	    {0, 0, false, 25.0},
	    {1001, 30000, false, 25.0}, // below one frame per second: would stop the clock
	    {-25, 1, false, 25.0},
	    {1000000, 1, false, 25.0},
	    {-2147483647 - 1, -1, false, 25.0},
	};
	for (const FCase& Case : Cases)
	{
		int64 Now = 0;
		FOrvidaSampleRing Fresh([&Now] { return Now; });
		FOrvidaCameraSample Sample;
		Sample.Timecode[1] = Case.Numerator;
		Sample.Timecode[2] = Case.Denominator;
		for (int32 Index = 0; Index < FOrvidaSampleRing::RingCapacity - 1; ++Index)
		{
			Fresh.CommitSample(Sample);
			EXPECT_FALSE(Fresh.UpdatePlayoutRate()) << "the slot the next commit fills is still empty";
		}
		Fresh.CommitSample(Sample);
		EXPECT_EQ(Fresh.UpdatePlayoutRate(), Case.bTaken) << Case.Numerator << "/" << Case.Denominator;
		EXPECT_DOUBLE_EQ(Fresh.GetPlayoutRate(), Case.Rate) << Case.Numerator << "/" << Case.Denominator;
	}
}

TEST_F(OrvidaSampleRingTest, AStreamStartingLongAfterConstructionAtALowerRatePlaysWithoutAStall)
{
	// Ten minutes on the 25 fps clock, then a 24 fps stream, with the engine ticking every 10 ms.
	NowMs += 10 * 60 * 1000;
	StreamRate[0] = 24;
	const int64 StreamStartMs = NowMs;
	int32 Sent = 0;
	int64 FrameAtChange = -1;
	int64 ChangeMs = 0;
	std::vector<int32> LagsAfterChange;
	for (int64 Elapsed = 0; Elapsed < 10000; Elapsed += 10)
	{
		NowMs = StreamStartMs + Elapsed;
		while (int64(Sent) * 1000 <= Elapsed * 24)
		{
			Commit();
			++Sent;
		}
		const int32 Due = Tick();
		if (FrameAtChange < 0 && Ring.GetPlayoutRate() == 24.0)
		{
			FrameAtChange = Ring.GetLastPlayoutFrame();
			ChangeMs = NowMs;
		}
		else if (FrameAtChange >= 0)
		{
			LagsAfterChange.push_back(NextMark - 1 - Due);
		}
		if (FrameAtChange >= 0 && NowMs == ChangeMs + 50)
		{
			EXPECT_GT(Ring.GetLastPlayoutFrame(), FrameAtChange) << "the first playout frame after the change is acted on";
		}
	}
	ASSERT_GE(FrameAtChange, 0);
	EXPECT_GE(*std::min_element(LagsAfterChange.begin(), LagsAfterChange.end()), 2);
	EXPECT_LE(*std::max_element(LagsAfterChange.begin(), LagsAfterChange.end()), 3);
	EXPECT_EQ(Ring.GetStats().DroppedSamples, 0);
}

TEST_F(OrvidaSampleRingTest, OneStrayRateDropsNoRunOfSamples)
{
	StartPlaying();
	for (int32 Frame = 0; Frame < 250; ++Frame)
	{
		Commit();
		NowMs += FrameMs;
		Tick();
	}
	// One sample claims 1000 frames per second; the clock takes it for one pass once its slot comes round.
	StreamRate[0] = 1000;
	Commit();
	StreamRate[0] = 25;
	const int64 DroppedBefore = Ring.GetStats().DroppedSamples;
	std::vector<int32> Due;
	for (int32 Frame = 0; Frame < 40; ++Frame)
	{
		Commit();
		NowMs += FrameMs;
		Due.push_back(Tick());
	}
	EXPECT_EQ(Ring.GetStats().DroppedSamples, DroppedBefore);
	for (size_t Index = 1; Index < Due.size(); ++Index)
	{
		EXPECT_EQ(Due[Index], Due[Index - 1] + 1) << "pass " << Index;
	}
}

TEST_F(OrvidaSampleRingTest, ThePlayoutPositionIsContinuousAcrossEveryRateChange)
{
	struct FChange
	{
		int64 AfterMs;
		int32 Numerator;
		int32 Denominator;
	};
	// One clock through a chain of changes, so that each anchor builds on the one before.
	const FChange Changes[] = {{600000, 24, 1}, {10000, 1000, 1}, {40, 25, 1}, {1234567, 30000, 1001}, {333, 24000, 1001}};
	for (const FChange& Change : Changes)
	{
		NowMs += Change.AfterMs;
		StreamRate[0] = Change.Numerator;
		StreamRate[1] = Change.Denominator;
		Commit(FOrvidaSampleRing::RingCapacity);
		const double Before = Ring.GetPlayoutPosition();
		ASSERT_TRUE(Ring.UpdatePlayoutRate()) << Change.Numerator << "/" << Change.Denominator;
		EXPECT_DOUBLE_EQ(Ring.GetPlayoutPosition(), Before) << Change.Numerator << "/" << Change.Denominator;
		NowMs += 1000;
		EXPECT_NEAR(Ring.GetPlayoutPosition() - Before, double(Change.Numerator) / Change.Denominator, 1e-6)
		    << "a second later the position has moved on at the new rate";
	}
}

TEST_F(OrvidaSampleRingTest, ACopyInASlotReadsBackEqualInEveryField)
{
	FOrvidaCameraSample Sample;
	Sample.Location[0] = 1.5f;
	Sample.Rotation[3] = -0.25f;
	Sample.Scale[2] = 3.0f;
	Sample.Lens[1] = 123.456;
	Sample.Timecode[2] = 1001;
	Sample.Metadata[0] = TEXT("Scene 1");
	Sample.Metadata[1] = TEXT("A\u00e9");
	Sample.Metadata[2] = TEXT("12b");
	Sample.State = 2;
	Ring.CommitSample(Sample);
	FOrvidaCameraSample Due;
	ASSERT_TRUE(Ring.StepPlayoutClock(Due));
	EXPECT_EQ(Due, Sample);

	const FOrvidaCameraSample Default;
	EXPECT_EQ(Default.Rotation[3], 0.0f) << "the default is a zero quaternion, not the identity";
	EXPECT_EQ(Default.Scale[0], 0.0f);
}
