#pragma once

#include "SenderFrameRate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/**
 * Timecode labels HH:MM:SS:FF for frame numbers, non-drop: a label second holds TimecodeBase() frames, so at
 * 30000/1001 the label runs 30 frames to its second and drifts from the wall clock by 0.1 %, as non-drop
 * timecode does. The message carries the frame number itself; labels are for people.
 */
class FSenderTimecode
{
public:
	/** The frame number a label names at Rate; nothing when the text is not HH:MM:SS:FF or a field is out of range. */
	static std::optional<int64_t> Parse(std::string_view Text, FSenderFrameRate Rate);
	/** The label of Frame at Rate; hours go past 23 rather than wrap. A negative frame reads as frame 0. */
	static std::string Format(int64_t Frame, FSenderFrameRate Rate);
};
