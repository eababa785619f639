#include "CameraMessages.h"

#include "SenderCameraState.h"
#include "SenderMessageWriter.h"

#include <cmath>

namespace OrvidaBenchmark
{
std::string MakeCameraMessage(int32_t FrameNumber, int32_t FramesPerSecond)
{
	// One turn of a 3 m orbit every ten seconds, looking at its centre: the figures have the digits real ones have.
	const double Turn = 2.0 * M_PI * double(FrameNumber) / (10.0 * FramesPerSecond);
	FSenderCameraState State;
	State.Location[0] = 300.0 * std::cos(Turn);
	State.Location[1] = 300.0 * std::sin(Turn);
	State.Location[2] = 160.0;
	State.SetRotationFromYawPitch(Turn * 180.0 / M_PI + 180.0, -5.0);
	State.SetLens(35.0, 300.0);
	State.FrameNumber = FrameNumber;
	State.Rate.Numerator = FramesPerSecond;
	State.Rate.Denominator = 1;
	State.Scene = "Scene 4";
	State.Slate = "A004";
	State.Take = "12";
	return FSenderMessageWriter::Write(State);
}

std::vector<std::string> MakeCameraMessages(int32_t Count, int32_t FramesPerSecond)
{
	std::vector<std::string> Messages;
	Messages.reserve(Count);
	for (int32_t Frame = 0; Frame < Count; ++Frame)
	{
		Messages.push_back(MakeCameraMessage(Frame, FramesPerSecond));
	}
	return Messages;
}
} // namespace OrvidaBenchmark
