#pragma once

#include <cstdint>
#include <string>
#include <vector>

/** One source as the game thread saw it at the end of a tick. */
struct FHostSourceSnapshot
{
	/** Where the source listens, a.b.c.d:port, with the port the system picked when it was asked for 0. */
	std::string Endpoint;
	/** The source's status text ("Receiving", "Device Not Found"...). */
	std::string Status;
	/** Samples the receiver stored in the ring, and those the ring overwrote before they were due. */
	int64_t Samples = 0;
	int64_t Dropped = 0;
	int32_t RingCount = 0;
	int32_t RingCapacity = 0;
	/** Whether the client holds a frame of the source's camera subject; the scene time below is that frame's. */
	bool bHasFrame = false;
	int32_t FrameNumber = 0;
	int32_t RateNumerator = 0;
	int32_t RateDenominator = 0;
};

/** The Take Recorder as the game thread saw it at the end of a tick. */
struct FHostTakeSnapshot
{
	std::string Slate;
	int32_t TakeNumber = 0;
	bool bRecording = false;
	/** The Take Recorder's last failure, its UTC time then what failed and why; empty while there was none. */
	std::string LastError;
};

/** The host's capture file, when it writes one. */
struct FHostCaptureSnapshot
{
	bool bCapturing = false;
	/** Datagrams in the file, and those the capture lost (never the sources). */
	int64_t Written = 0;
	int64_t Dropped = 0;
};

/**
 * What the host shows: built by the game thread once per tick and never changed after it is published, so any
 * thread may read it without touching the engine. Plain values only (UTF-8 text, integers).
 */
struct FHostSnapshot
{
	/** Ticks of the game thread before this one was built, from 0. */
	int64_t TickCount = 0;
	std::vector<FHostSourceSnapshot> Sources;
	FHostTakeSnapshot Take;
	FHostCaptureSnapshot Capture;
};
