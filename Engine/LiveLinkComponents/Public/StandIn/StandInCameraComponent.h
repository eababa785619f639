// A model of the engine's camera component as far as a Live Link camera controller drives it: the horizontal
// field of view and the aspect ratio it renders with, and its projection mode. The setters store what they are
// given, unclamped, as the engine's do.
//
// Threads: the game thread only, like the engine's components.
#pragma once

#include "CoreTypes.h"
#include "Roles/LiveLinkCameraTypes.h"

class LIVELINKCOMPONENTS_API FStandInCameraComponent
{
public:
	/** A new camera component's field of view, in degrees, and its aspect ratio. */
	static constexpr float DefaultFieldOfView = 90.0f;
	static constexpr float DefaultAspectRatio = 1.777778f;

	virtual ~FStandInCameraComponent() = default;

	/** Horizontal, in degrees. */
	virtual void SetFieldOfView(float InFieldOfView);
	/** Width over height. */
	void SetAspectRatio(float InAspectRatio);
	void SetProjectionMode(ELiveLinkCameraProjectionMode InProjectionMode);

	/** The horizontal field of view the camera's view is computed with, in degrees. */
	virtual float GetFieldOfView() const;
	/** The aspect ratio the camera's view is computed with. */
	virtual float GetAspectRatio() const;
	ELiveLinkCameraProjectionMode GetProjectionMode() const { return ProjectionMode; }

protected:
	/** As last set; a Cine Camera derives what it shows from its lens and filmback instead. */
	float FieldOfView = DefaultFieldOfView;
	float AspectRatio = DefaultAspectRatio;
	ELiveLinkCameraProjectionMode ProjectionMode = ELiveLinkCameraProjectionMode::Perspective;
};
