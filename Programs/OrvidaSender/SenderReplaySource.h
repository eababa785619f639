#pragma once

#include "SenderFrameSource.h"

#include <vector>

/**
 * Hands out a replay's frames, once or, with bLoop, over and over: each round starts one mean frame interval
 * after the last frame of the round before (the rate's interval when the replay has no length), so that deadlines keep
 * growing. An empty replay ends at once, looping or not.
 */
class FSenderReplaySource final : public ISenderFrameSource
{
public:
	FSenderReplaySource(std::vector<FSenderFrame> InFrames, bool bInLoop, std::chrono::nanoseconds SingleFrameInterval);

	bool Next(FSenderFrame& Out) override;
	int64_t GetFrameCount() const override { return bLoop && !Frames.empty() ? -1 : int64_t(Frames.size()); }

private:
	std::vector<FSenderFrame> Frames;
	bool bLoop;
	std::chrono::nanoseconds RoundLength{0};
	std::chrono::nanoseconds RoundStart{0};
	size_t NextIndex = 0;
};
