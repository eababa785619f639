#include "SenderMessageWriter.h"

#include "OrvidaCameraSamplePrinter.h"
#include "SenderTestDecoding.h"

#include <gtest/gtest.h>

namespace
{
/** Every value different from every other, so that a key or element written in the wrong place shows. */
FSenderCameraState Distinct()
{
	FSenderCameraState State;
	const double Location[] = {1.5, -2.25, 3.125}, Rotation[] = {0.125, -0.25, 0.375, 0.875}, Scale[] = {0.5, 2.0, 4.0}, Lens[] = {50.0, 250.5, 2.39, 40.5};
	std::copy(std::begin(Location), std::end(Location), State.Location);
	std::copy(std::begin(Rotation), std::end(Rotation), State.Rotation);
	std::copy(std::begin(Scale), std::end(Scale), State.Scale);
	std::copy(std::begin(Lens), std::end(Lens), State.Lens);
	State.FrameNumber = 86399;
	State.Rate = {24000, 1001};
	State.Scene = "Scene 4";
	State.Slate = "A004";
	State.Take = "12";
	State.State = FSenderCameraState::RecordingState;
	return State;
}

FOrvidaCameraSample DistinctSample()
{
	FOrvidaCameraSample Sample;
	const float Location[] = {1.5f, -2.25f, 3.125f}, Rotation[] = {0.125f, -0.25f, 0.375f, 0.875f}, Scale[] = {0.5f, 2.0f, 4.0f};
	const double Lens[] = {50.0, 250.5, 2.39, 40.5};
	std::copy(std::begin(Location), std::end(Location), Sample.Location);
	std::copy(std::begin(Rotation), std::end(Rotation), Sample.Rotation);
	std::copy(std::begin(Scale), std::end(Scale), Sample.Scale);
	std::copy(std::begin(Lens), std::end(Lens), Sample.Lens);
	Sample.Timecode[0] = 86399;
	Sample.Timecode[1] = 24000;
	Sample.Timecode[2] = 1001;
	Sample.Metadata[0] = TEXT("Scene 4");
	Sample.Metadata[1] = TEXT("A004");
	Sample.Metadata[2] = TEXT("12");
	Sample.State = 2;
	return Sample;
}
} // namespace

TEST(SenderMessageWriter, EveryFieldArrivesInItsPlace) { EXPECT_EQ(DecodeDatagram(FSenderMessageWriter::Write(Distinct())), DistinctSample()); }

TEST(SenderMessageWriter, TextArrivesAsTheSameCharacters)
{
	// Written as UTF-8, as the camera application writes it; a receiver that widened bytes would read "CafÃ©".
	FSenderCameraState State = Distinct();
	State.Slate = "Caf\u00e9 \u2603";
	State.Scene = "\"quoted\"\n";
	FOrvidaCameraSample Expected = DistinctSample();
	Expected.Metadata[1] = TEXT("Caf\u00e9 \u2603");
	Expected.Metadata[0] = TEXT("\"quoted\"\n");
	EXPECT_EQ(DecodeDatagram(FSenderMessageWriter::Write(State)), Expected);
}
