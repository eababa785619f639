#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace OrvidaBenchmark
{
/**
 * A typical camera message as the sender library writes it: a camera on an orbit with lens values, scene,
 * slate and take, at FramesPerSecond, carrying FrameNumber in its timecode. The position moves with the
 * frame, so that no two consecutive messages are alike.
 */
std::string MakeCameraMessage(int32_t FrameNumber, int32_t FramesPerSecond);

/** Count consecutive messages from frame 0, for senders that cycle through them. */
std::vector<std::string> MakeCameraMessages(int32_t Count, int32_t FramesPerSecond);
} // namespace OrvidaBenchmark
