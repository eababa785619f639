#pragma once

#include "OrvidaCameraSample.h"
#include "SenderCameraState.h"

#include <optional>
#include <string>

/** The sample the plug-in's decoder makes of Datagram, every option on; nothing when it makes none. */
std::optional<FOrvidaCameraSample> DecodeDatagram(const std::string& Datagram);

/** The sample a receiver should get for State: numbers as sent, text as characters. */
FOrvidaCameraSample ExpectedSample(const FSenderCameraState& State);
