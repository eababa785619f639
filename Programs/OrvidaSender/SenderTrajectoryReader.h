#pragma once

#include "SenderFrameRate.h"
#include "SenderReplay.h"

#include <optional>
#include <string>
#include <string_view>

/**
 * Reads a ground-truth trajectory: one pose a line, "timestamp tx ty tz qx qy qz qw" (seconds, metres, a unit
 * quaternion), lines starting with '#' and empty lines ignored. Timing comes from the timestamps; frame numbers
 * count at Rate from StartFrame by the time since the first pose, rounded to the nearest frame. Every pose gets
 * the same lens, 35 mm focused at 3 m.
 */
class FSenderTrajectoryReader
{
public:
	/** What the positions sent are measured in: centimetres as the engine wants (the file's metres times 100), or the file's metres unchanged. */
	enum class EUnits
	{
		Centimetres,
		Metres,
	};
	/** How the file's axes become the engine's. */
	enum class EAxes
	{
		/** Sent as they stand. */
		None,
		/**
		 * Right-handed, Y up, X right, the camera looking along -Z (the graphics camera convention) to the engine's
		 * left-handed X forward, Y right, Z up: engine (X, Y, Z) = (-z, x, y). The rotation is conjugated by the
		 * same change of axes, so a camera looking along -Z looks along the engine's X.
		 */
		YUpRightHanded,
	};

	/** "cm" or "m"; nothing for any other text. */
	static std::optional<EUnits> ParseUnits(std::string_view Text);
	/** "none" or "yup"; nothing for any other text. */
	static std::optional<EAxes> ParseAxes(std::string_view Text);

	/**
	 * Fails when the file cannot be read or a line does not hold eight numbers (the error names the line).
	 * A timestamp earlier than the line before's is sent right after it, keeping the file's order.
	 */
	static FSenderReplay Read(const std::string& Path, EUnits Units, EAxes Axes, FSenderFrameRate Rate, int64_t StartFrame);
};
