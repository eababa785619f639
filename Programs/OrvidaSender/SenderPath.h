#pragma once

#include "SenderCameraState.h"
#include "SenderFrameRate.h"

#include <cstdint>
#include <optional>
#include <string_view>

/**
 * A made-up camera move, the same for the same frame index and rate: an orbit around a point at the origin, a
 * dolly that tracks sideways while it zooms, or a camera standing still. Fills the pose and the lens only.
 */
class FSenderPath
{
public:
	enum class EKind
	{
		Orbit,
		Dolly,
		Static,
	};

	/** "orbit", "dolly" or "static"; nothing for any other text. */
	static std::optional<EKind> ParseKind(std::string_view Text);

	FSenderPath(EKind InKind, FSenderFrameRate InRate)
	    : Kind(InKind)
	    , Rate(InRate)
	{
	}

	/** The camera at frame FrameIndex (frame 0 starts the move). */
	FSenderCameraState Evaluate(int64_t FrameIndex) const;

private:
	EKind Kind;
	FSenderFrameRate Rate;
};
