#pragma once

#include "SenderClock.h"
#include "SenderDestination.h"

#include <chrono>
#include <string>
#include <vector>

/** A UDP socket on 127.0.0.1, on a port the system picks, that keeps every datagram it receives, in order. */
class FLoopbackReceiver
{
public:
	FLoopbackReceiver();
	~FLoopbackReceiver();
	FLoopbackReceiver(const FLoopbackReceiver&) = delete;
	FLoopbackReceiver& operator=(const FLoopbackReceiver&) = delete;

	FSenderDestination GetDestination() const;
	/** Takes what has arrived so far, without waiting. */
	void Drain();
	/** Drains until Count datagrams are kept, or a bounded wait ends; returns whether they are. */
	bool WaitFor(size_t Count);

	std::vector<std::string> Datagrams;

private:
	int Descriptor;
};

/**
 * A clock standing still at its epoch that records every deadline it is given instead of sleeping, so that
 * deadlines read as offsets from the session's start. Each sleep drains Receiver, so that a fast session never
 * overruns the socket's buffer.
 */
class FRecordingClock final : public ISenderClock
{
public:
	explicit FRecordingClock(FLoopbackReceiver& InReceiver)
	    : Receiver(InReceiver)
	{
	}

	FTimePoint Now() const override { return FTimePoint(); }
	bool SleepUntil(FTimePoint Deadline, const std::atomic<bool>& bStop) override
	{
		Deadlines.push_back(Deadline.time_since_epoch());
		Receiver.Drain();
		return true;
	}

	std::vector<std::chrono::nanoseconds> Deadlines;

private:
	FLoopbackReceiver& Receiver;
};
