#include "Server/RequestQueue.h"

#include <algorithm>

FHostRequestQueue::FHostRequestQueue(size_t InCapacity)
    : Capacity(std::max<size_t>(InCapacity, 1))
{
}

std::optional<std::future<FHostApiReply>> FHostRequestQueue::Push(FHostApiRequest Request)
{
	std::lock_guard<std::mutex> Guard(Lock);
	if (bClosed || Pending.size() >= Capacity)
	{
		return std::nullopt;
	}
	FPending& Entry = Pending.emplace_back();
	Entry.Request = std::move(Request);
	return Entry.Reply.get_future();
}

void FHostRequestQueue::Drain(const std::function<FHostApiReply(const FHostApiRequest&)>& Execute)
{
	std::deque<FPending> Taken;
	{
		std::lock_guard<std::mutex> Guard(Lock);
		Taken.swap(Pending);
	}
	for (FPending& Entry : Taken)
	{
		Entry.Reply.set_value(Execute(Entry.Request));
	}
}

void FHostRequestQueue::Close()
{
	std::deque<FPending> Taken;
	{
		std::lock_guard<std::mutex> Guard(Lock);
		bClosed = true;
		Taken.swap(Pending);
	}
	for (FPending& Entry : Taken)
	{
		Entry.Reply.set_value(FHostApiReply::Error(503, "the host is shutting down"));
	}
}
