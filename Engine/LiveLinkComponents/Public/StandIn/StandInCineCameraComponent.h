// A model of the engine's Cine Camera component as far as a Live Link camera controller drives it: a filmback
// (sensor) of fixed size, a lens with the focal length range and f-stops of a new Cine Camera's default lens
// (4 to 1000 mm, f/1.2 to f/22), the current focal length and aperture, and the manual focus distance.
//
// 1. Derived view. The engine recomputes a Cine Camera's field of view and aspect ratio from its lens and
//    filmback whenever it computes the view, so what is set through SetFieldOfView or SetAspectRatio does not
//    last: GetFieldOfView is 2 * atan(SensorWidth / (2 * CurrentFocalLength)) in degrees, and GetAspectRatio is
//    SensorWidth / SensorHeight.
// 2. SetFieldOfView sets the focal length that gives that horizontal field of view on the sensor:
//    (SensorWidth / 2) / tan(FieldOfView / 2).
// 3. Clamps. The focal length is held within the lens's range and the aperture within its f-stops, as the engine
//    does when it recomputes the camera (a NaN becomes the maximum, as with the engine's clamp). The focus
//    distance is stored as given.
//
// 4. Focus method. How the camera focuses (the engine's ECameraFocusMethod); a new Cine Camera focuses manually
//    at the manual focus distance. Only the 5.x controller sets it.
//
// Threads: the game thread only, like the engine's components.
#pragma once

#include "StandIn/StandInCameraComponent.h"

/** The engine's ECameraFocusMethod. */
enum class EStandInCameraFocusMethod : uint8
{
	DoNotOverride,
	Manual,
	Tracking,
	Disable,
};

class LIVELINKCOMPONENTS_API FStandInCineCameraComponent : public FStandInCameraComponent
{
public:
	/** A new Cine Camera's focal length and aperture, and its manual focus distance in centimetres. */
	static constexpr float DefaultFocalLength = 35.0f;
	static constexpr float DefaultAperture = 2.8f;
	static constexpr float DefaultManualFocusDistance = 100000.0f;
	/** The default lens's range. */
	static constexpr float MinFocalLength = 4.0f;
	static constexpr float MaxFocalLength = 1000.0f;
	static constexpr float MinFStop = 1.2f;
	static constexpr float MaxFStop = 22.0f;

	/** A new Cine Camera with a filmback of this size, in millimetres. */
	FStandInCineCameraComponent(float InSensorWidth, float InSensorHeight);

	void SetFieldOfView(float InFieldOfView) override;
	/** In millimetres. */
	void SetCurrentFocalLength(float InFocalLength);
	/** The f-number. */
	void SetCurrentAperture(float InAperture);
	/** In centimetres. */
	void SetManualFocusDistance(float InDistance);
	void SetFocusMethod(EStandInCameraFocusMethod InFocusMethod) { FocusMethod = InFocusMethod; }

	/** The horizontal field of view of the current focal length on the sensor, in degrees. */
	float GetFieldOfView() const override;
	/** The sensor's. */
	float GetAspectRatio() const override;
	float GetCurrentFocalLength() const { return CurrentFocalLength; }
	float GetCurrentAperture() const { return CurrentAperture; }
	float GetManualFocusDistance() const { return ManualFocusDistance; }
	EStandInCameraFocusMethod GetFocusMethod() const { return FocusMethod; }
	float GetSensorWidth() const { return SensorWidth; }
	float GetSensorHeight() const { return SensorHeight; }

private:
	float SensorWidth;
	float SensorHeight;
	float CurrentFocalLength = DefaultFocalLength;
	float CurrentAperture = DefaultAperture;
	float ManualFocusDistance = DefaultManualFocusDistance;
	EStandInCameraFocusMethod FocusMethod = EStandInCameraFocusMethod::Manual;
};
