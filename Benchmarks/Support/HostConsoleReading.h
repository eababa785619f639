#pragma once

#include <cstdint>
#include <optional>
#include <string>

/** One source's figures from one line of orvida-livelink's console. */
struct FHostConsoleReading
{
	std::string Endpoint;
	std::string Status;
	int64_t Received = 0;
	/** Samples the receiver committed to the ring, and those the ring overwrote before they were due (decimated or dropped). */
	int64_t Samples = 0;
	int64_t Dropped = 0;
	int32_t RingCount = 0;
	int32_t RingCapacity = 0;
	int64_t Unparsed = 0;
	/** The frame number of the frame Live Link holds, from its timecode and rate; nullopt while it holds none. */
	std::optional<int64_t> PublishedFrame;
	/** The client keeps the source's subject disabled (it enables one subject of a name), so it takes none of its frames. */
	bool bSubjectDisabled = false;
};

/** The reading a console line gives; nullopt for any other line (start-up lines, a half-written line). */
std::optional<FHostConsoleReading> ParseHostConsoleLine(const std::string& Line);
