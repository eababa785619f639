#pragma once

#include "Server/ApiRequest.h"

#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>

/**
 * The commands the web server hands the game thread, each with the promise of its answer.
 *
 * Threads: the web server's threads call Push and wait on the future it gives them, for as long as they like; the
 * game thread calls Drain once per tick and Close at shut-down. Lock protects Pending and bClosed; commands run
 * outside it.
 */
class FHostRequestQueue
{
public:
	/** Holds at most InCapacity commands not yet drained (at least 1). */
	explicit FHostRequestQueue(size_t InCapacity);

	/** Queues the command; no future when the queue is full or closed, and the caller answers 503. */
	std::optional<std::future<FHostApiReply>> Push(FHostApiRequest Request);

	/** Runs every command queued so far, in order, and answers each with what Execute returns. */
	void Drain(const std::function<FHostApiReply(const FHostApiRequest&)>& Execute);

	/** Refuses commands from now on and answers those still queued with 503. */
	void Close();

private:
	struct FPending
	{
		FHostApiRequest Request;
		std::promise<FHostApiReply> Reply;
	};

	const size_t Capacity;
	std::mutex Lock;
	std::deque<FPending> Pending;
	bool bClosed = false;
};
