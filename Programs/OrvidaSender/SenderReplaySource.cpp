#include "SenderReplaySource.h"

FSenderReplaySource::FSenderReplaySource(std::vector<FSenderFrame> InFrames, bool bInLoop, std::chrono::nanoseconds SingleFrameInterval)
    : Frames(std::move(InFrames))
    , bLoop(bInLoop)
{
	if (!Frames.empty())
	{
		const std::chrono::nanoseconds Span = Frames.back().Offset - Frames.front().Offset;
		const std::chrono::nanoseconds MeanInterval = Frames.size() > 1 ? Span / int64_t(Frames.size() - 1) : std::chrono::nanoseconds(0);
		RoundLength = Frames.back().Offset + (MeanInterval.count() > 0 ? MeanInterval : SingleFrameInterval);
	}
}

bool FSenderReplaySource::Next(FSenderFrame& Out)
{
	if (NextIndex == Frames.size())
	{
		if (!bLoop || Frames.empty())
		{
			return false;
		}
		NextIndex = 0;
		RoundStart += RoundLength;
	}
	Out = Frames[NextIndex++];
	Out.Offset += RoundStart;
	return true;
}
