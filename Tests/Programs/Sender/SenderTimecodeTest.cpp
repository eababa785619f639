#include "SenderTimecode.h"
#include "SenderPathSource.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(SenderTimecode, FramesAt30000Over1001CountOnAcrossAMinute)
{
	// One frame number a frame, labelled with 30 frames to the label's second, and frame times exact to the nanosecond:
	// numbers made from elapsed time at 29.97 or 29 would skip or repeat, and labels at base 29 would turn early.
	const FSenderFrameRate Rate{30000, 1001};
	const std::optional<int64_t> Start = FSenderTimecode::Parse("00:00:59:28", Rate);
	ASSERT_TRUE(Start);
	FSenderPathSource Source(FSenderPath::EKind::Static, Rate, *Start);
	const char* const Labels[] = {"00:00:59:28", "00:00:59:29", "00:01:00:00", "00:01:00:01"};
	const std::chrono::nanoseconds Offsets[] = {0ns, 33'366'666ns, 66'733'333ns, 100'100'000ns};
	for (int32_t Index = 0; Index < 4; ++Index)
	{
		FSenderFrame Frame;
		ASSERT_TRUE(Source.Next(Frame));
		const FSenderCameraState& State = std::get<FSenderCameraState>(Frame.Content);
		EXPECT_EQ(State.FrameNumber, 1798 + Index);
		EXPECT_EQ(FSenderTimecode::Format(State.FrameNumber, Rate), Labels[Index]);
		EXPECT_EQ(Frame.Offset, Offsets[Index]);
	}
	// No drift over long runs, and no overflow where frame count times denominator times 1e9 leaves 64 bits.
	EXPECT_EQ(Rate.TimeOfFrame(30000), 1001s);
	EXPECT_EQ(Rate.TimeOfFrame(30000LL * 1'000'000), 1'001'000'000s);
}

TEST(SenderTimecode, RatesAndLabelsOutOfRangeAreRefused)
{
	const std::pair<const char*, std::optional<std::pair<int32_t, int32_t>>> Rates[] = {{"25", {{25, 1}}},       {"30000/1001", {{30000, 1001}}},
	                                                                                    {"1/2", {{1, 2}}},       {"1000", {{1000, 1}}},
	                                                                                    {"1001", std::nullopt},  {"0", std::nullopt},
	                                                                                    {"25/0", std::nullopt},  {"-25", std::nullopt},
	                                                                                    {"29.97", std::nullopt}, {"30000/", std::nullopt},
	                                                                                    {"", std::nullopt},      {"25 ", std::nullopt}};
	for (const auto& [Text, Wanted] : Rates)
	{
		const std::optional<FSenderFrameRate> Rate = FSenderFrameRate::Parse(Text);
		EXPECT_EQ(Rate ? std::optional(std::pair(Rate->Numerator, Rate->Denominator)) : std::nullopt, Wanted) << Text;
	}
	const FSenderFrameRate Rate{30000, 1001};
	for (const char* Label : {"00:00:60:00", "00:60:00:00", "00:00:00:30", "0:00:00:00", "00:00:00:00x", "00-00-00-00", "00:00:00"})
	{
		EXPECT_FALSE(FSenderTimecode::Parse(Label, Rate)) << Label;
	}
	EXPECT_EQ(FSenderTimecode::Parse("01:00:00:00", Rate), 108000);
}
