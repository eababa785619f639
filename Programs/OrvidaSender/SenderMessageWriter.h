#pragma once

#include "SenderCameraState.h"

#include <string>

/**
 * Writes one camera message: {"OVDCamera":[{record}]} with every record key the receiver reads, in the order
 * the application writes them. Text goes as UTF-8, unescaped, as the application sends it; bytes of Scene, Slate or
 * Take that are not UTF-8 are written as U+FFFD.
 */
class FSenderMessageWriter
{
public:
	static std::string Write(const FSenderCameraState& State);

	/** The message format's version, written as the record's "Version". */
	static constexpr int32_t Version = 1;
};
