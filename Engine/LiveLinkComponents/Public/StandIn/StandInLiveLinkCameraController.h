// A model of the engine's Live Link camera controller: what it does on each tick to the camera component it
// drives, given the subject's static data and the frame it evaluated. The transform is left out: the host's
// cameras are there to show their lens.
//
// In the engine's order: the field of view, the aspect ratio and the projection mode, each only when the static
// data claims it; then, for a Cine Camera, the focal length, the manual focus distance and the aperture, likewise.
// A claimed value is applied whether or not the source ever wrote it, so a frame's default goes through (a
// subject that claims focal length and never writes it holds a Cine Camera at 50 mm). A value not claimed
// leaves the camera's own alone.
//
// The 5.x controller (5.1 on, with bIsDepthOfFieldSupported) also sets a Cine Camera's focus method on every
// tick: Disable when the static data clears bIsDepthOfFieldSupported, otherwise Manual when it claims focus
// distance; and it ignores a claimed focal length, focus distance or aperture of 1 or less.
//
// Threads: the game thread only, like the components it drives.
#pragma once

#include "CoreTypes.h"
#include "Roles/LiveLinkCameraTypes.h"

class FStandInCameraComponent;

class LIVELINKCOMPONENTS_API FStandInLiveLinkCameraController
{
public:
	/** Applies the frame to Camera as the engine's controller does on one tick (see the top of this file). */
	static void Tick(const FLiveLinkCameraStaticData& StaticData, const FLiveLinkCameraFrameData& FrameData, FStandInCameraComponent& Camera);
};
