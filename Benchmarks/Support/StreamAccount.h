#pragma once

#include "HostConsoleReading.h"
#include "HostUnderTest.h"
#include "SenderRun.h"

#include <chrono>
#include <string>
#include <vector>

/** A finished stream from one sender into every source of a host, as both ends tell it. */
struct FStreamAccount
{
	FSentCount Sent;
	/** Each source's first reading in which it has received every message, in endpoint order. */
	std::vector<FHostConsoleReading> Readings;
	/** Empty when every source received every message; otherwise what did not add up. */
	std::string Fault;
};

/**
 * Waits until Deadline for the sender's closing count, then for console readings in which each source has
 * received that many messages and decoded each into a sample with its ring drained to the due sample. A
 * sender that printed no count, refused datagrams or readings that never get there give a Fault.
 */
FStreamAccount SettleStream(FHostUnderTest& Host, FSenderRun& Sender, std::chrono::steady_clock::time_point Deadline);
