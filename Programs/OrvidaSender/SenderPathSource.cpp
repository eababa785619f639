#include "SenderPathSource.h"

bool FSenderPathSource::Next(FSenderFrame& Out)
{
	FSenderCameraState State = Path.Evaluate(NextIndex);
	// The message carries 32 bits; a stream that runs for years at a high rate wraps as the application's would.
	State.FrameNumber = int32_t(uint32_t(StartFrame + NextIndex));
	State.Rate = Rate;
	Out.Offset = Rate.TimeOfFrame(NextIndex);
	Out.Content = std::move(State);
	++NextIndex;
	return true;
}
