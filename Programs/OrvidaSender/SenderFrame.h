#pragma once

#include "SenderCameraState.h"

#include <chrono>
#include <string>
#include <variant>

/** One message to send: when, in the stream's own time, and either a camera to write or a datagram to send as it is. */
struct FSenderFrame
{
	/** Since the stream's first frame, before any change of speed. */
	std::chrono::nanoseconds Offset{0};
	std::variant<FSenderCameraState, std::string> Content;
};
