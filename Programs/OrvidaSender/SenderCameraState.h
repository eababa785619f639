#pragma once

#include "SenderFrameRate.h"

#include <cstdint>
#include <string>

/** Everything one camera message says, in the units and order the receiver reads. */
struct FSenderCameraState
{
	/** Engine centimetres: X forward, Y right, Z up. */
	double Location[3] = {0.0, 0.0, 0.0};
	/** A quaternion X, Y, Z, W in the engine's axes. */
	double Rotation[4] = {0.0, 0.0, 0.0, 1.0};
	double Scale[3] = {1.0, 1.0, 1.0};
	/** Focal length in millimetres (carried, not published), focus distance in centimetres, aspect ratio, horizontal field of view in degrees. */
	double Lens[4] = {0.0, 0.0, 0.0, 0.0};
	/** The frame's number, counted at Rate. */
	int32_t FrameNumber = 0;
	FSenderFrameRate Rate;
	std::string Scene;
	std::string Slate;
	/** Decimal text, as the receiver reads the take number. */
	std::string Take;
	/** The application's recording state: RecordingState while recording, IdleState otherwise. */
	int32_t State = IdleState;

	static constexpr int32_t IdleState = 0;
	static constexpr int32_t RecordingState = 2;

	/** Points the camera by yaw and pitch in degrees, no roll, as the engine turns a rotator into a quaternion. */
	void SetRotationFromYawPitch(double YawDegrees, double PitchDegrees);
	/** Fills the lens from a focal length on a 36 mm wide sensor at 16:9; a focal length <= 0 gives a field of view of 180 degrees. */
	void SetLens(double FocalLengthMillimetres, double FocusDistanceCentimetres);
};
