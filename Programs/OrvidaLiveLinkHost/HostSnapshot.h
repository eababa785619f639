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
	/** Datagrams the source received, and how many a second over about the last second. */
	int64_t Received = 0;
	double ReceivedPerSecond = 0.0;
	/** Samples the receiver stored in the ring, and those the ring overwrote before they were due. */
	int64_t Samples = 0;
	int64_t Dropped = 0;
	int32_t RingCount = 0;
	int32_t RingCapacity = 0;
	/** Playout frames that found no new sample and played the due one again. */
	int64_t Underruns = 0;
	/** Datagrams that were no JSON object, and those without a camera record; top-level keys other than the camera's. */
	int64_t Unparsed = 0;
	int64_t WithoutCamera = 0;
	int64_t ForeignKeys = 0;
	/** Samples whose frame number skipped ahead, and those whose frame number repeated or stepped back. */
	int64_t TimecodeGaps = 0;
	int64_t TimecodeRepeats = 0;
	double JitterMilliseconds = 0.0;
	/** Negative while no datagram has arrived. */
	double SecondsSinceLastDatagram = -1.0;
	/** Sender addresses and ports heard from in the last few seconds. */
	int32_t RecentSenders = 0;
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
