// How the client reads a subject's buffered frames at a time, as the engine's basic interpolation processor does for
// every role derived from the basic one: the frame at or just before the time and the one after it are blended by
// where the time falls between their world times. The blend starts from a copy of the nearer frame, so what is not
// blended (string metadata, the scene time's rate, the projection mode) is the nearer frame's; the world time (with
// no offset), the scene time, the property values, a transform's location and scale, and a camera's lens values
// are blended linearly, and a transform's rotation by the shortest way and normalised, as the engine's transform
// blend does. A time before the oldest frame gives the oldest, at or after the newest the newest.
//
// Threads: none of its own.
#pragma once

#include "CoreMinimal.h"
#include "LiveLinkTypes.h"

class FLiveLinkFrameInterpolation
{
public:
	/** Fills OutFrame with what Frames, oldest first by world time, give at ReadTime; leaves it empty when Frames is empty. */
	static void EvaluateAtWorldTime(const TArray<FLiveLinkFrameDataStruct>& Frames, double ReadTime, FLiveLinkFrameDataStruct& OutFrame);
	/** Fills OutFrame with A and B blended at BlendWeight (0 gives A's values, 1 B's); A and B must be of one struct. */
	static void Blend(const FLiveLinkFrameDataStruct& A, const FLiveLinkFrameDataStruct& B, double BlendWeight, FLiveLinkFrameDataStruct& OutFrame);
};
