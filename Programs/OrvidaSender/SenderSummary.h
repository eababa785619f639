#pragma once

#include "SenderImpairments.h"

#include <chrono>
#include <cstdint>
#include <string>

/** How a session went. Messages counts every message made, those dropped on purpose included. */
struct FSenderSummary
{
	int64_t Messages = 0;
	/** Datagrams the system took, over all destinations: (Messages - Dropped + Duplicated) for each. */
	int64_t Datagrams = 0;
	/** Datagrams the system refused. */
	int64_t SendErrors = 0;
	FSenderImpairmentCounts Impairments;
	std::chrono::nanoseconds Elapsed{0};
	/** Stop was called before the session ended by itself. */
	bool bStopped = false;
	/** Why the session could not send at all; empty when it could. */
	std::string Error;

	/** One line: what was sent, what was done to it on purpose, and how long it took. */
	std::string Describe() const;
};

/** A session's counters while it runs. */
struct FSenderProgress
{
	int64_t Messages = 0;
	int64_t Datagrams = 0;
	/** The schedule time of the last message: how far into the stream the session is. */
	std::chrono::nanoseconds Scheduled{0};
	/** How many messages the session will make in all, or -1 when that is not known. */
	int64_t PlannedMessages = -1;
};
