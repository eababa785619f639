#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

/** A frame rate as the camera message carries it: a numerator and a denominator, both positive. */
struct FSenderFrameRate
{
	int32_t Numerator = 25;
	int32_t Denominator = 1;

	/**
	 * Reads "25" or "30000/1001": whole numbers only, so that the rate is sent exactly as written. Anything else,
	 * a zero or negative part, or a rate above 1000 frames a second, gives nothing.
	 */
	static std::optional<FSenderFrameRate> Parse(std::string_view Text);

	/** When frame Index starts, counted from frame 0; exact to the nanosecond below, for any Index >= 0. */
	std::chrono::nanoseconds TimeOfFrame(int64_t Index) const;
	double FramesPerSecond() const { return double(Numerator) / Denominator; }
	/** Frames per second of the timecode label: the rate rounded up, so 30000/1001 counts 30 frames to its second. */
	int32_t TimecodeBase() const { return (Numerator + Denominator - 1) / Denominator; }
};
