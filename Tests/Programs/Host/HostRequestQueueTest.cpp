#include "Server/HttpServer.h"
#include "Server/RequestQueue.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace
{
FHostApiRequest MakeRequest(const std::string& PathId)
{
	FHostApiRequest Request;
	Request.PathId = PathId;
	return Request;
}

FHostApiReply Echo(const FHostApiRequest& Request) { return {200, {{"id", Request.PathId}}}; }
} // namespace

// Faults caught: the bound off by one, a full queue that stays full after the game thread drained it, commands
// still taken after Close, or those queued at Close left unanswered (their waiters hang until the 504).
TEST(HostRequestQueue, RefusesBeyondItsCapacityAndAfterClose)
{
	FHostRequestQueue Queue(2);
	auto First = Queue.Push(MakeRequest("a"));
	auto Second = Queue.Push(MakeRequest("b"));
	ASSERT_TRUE(First && Second);
	EXPECT_FALSE(Queue.Push(MakeRequest("c")));
	Queue.Drain(Echo);
	EXPECT_EQ(First->get().Body["id"], "a");
	EXPECT_EQ(Second->get().Body["id"], "b");

	auto Queued = Queue.Push(MakeRequest("d"));
	ASSERT_TRUE(Queued);
	Queue.Close();
	EXPECT_FALSE(Queue.Push(MakeRequest("e")));
	ASSERT_EQ(Queued->wait_for(std::chrono::seconds(0)), std::future_status::ready);
	EXPECT_EQ(Queued->get().Status, 503);
}

// Faults caught: a command answered before the game thread ran it (the waiter's timeout never fires), or a waiter
// that gave up breaking the next drain (setting a value with nobody waiting, or the command skipped).
TEST(HostRequestQueue, AnswersOnlyWhenDrainedEvenAfterAWaiterGaveUp)
{
	FHostRequestQueue Queue(4);
	std::vector<std::string> Ran;
	const auto Record = [&Ran](const FHostApiRequest& Request)
	{
		Ran.push_back(Request.PathId);
		return Echo(Request);
	};
	{
		auto Abandoned = Queue.Push(MakeRequest("late"));
		ASSERT_TRUE(Abandoned);
		EXPECT_EQ(Abandoned->wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
	}
	auto Next = Queue.Push(MakeRequest("next"));
	ASSERT_TRUE(Next);
	Queue.Drain(Record);
	EXPECT_EQ(Ran, (std::vector<std::string>{"late", "next"}));
	EXPECT_EQ(Next->get().Body["id"], "next");
}

// Faults caught: answers handed out by position rather than by request (two waiters swapping answers when pushes
// from several threads interleave), or commands lost between Push and Drain under contention.
TEST(HostRequestQueue, EachWaiterGetsTheAnswerToItsOwnCommand)
{
	constexpr int Waiters = 8, CommandsEach = 50;
	FHostRequestQueue Queue(Waiters);
	std::atomic<int> Mismatches{0}, Answered{0};
	std::vector<std::thread> Threads;
	for (int Waiter = 0; Waiter < Waiters; ++Waiter)
	{
		Threads.emplace_back(
		    [&, Waiter]
		    {
			    for (int Command = 0; Command < CommandsEach; ++Command)
			    {
				    const std::string Id = std::to_string(Waiter) + "/" + std::to_string(Command);
				    auto Reply = Queue.Push(MakeRequest(Id));
				    // One command each at a time, with room for all, so no push is refused.
				    Mismatches += !Reply || Reply->get().Body["id"] != Id;
				    ++Answered;
			    }
		    });
	}
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
	while (Answered.load() < Waiters * CommandsEach && std::chrono::steady_clock::now() < Deadline)
	{
		Queue.Drain(Echo);
		std::this_thread::yield();
	}
	Queue.Close();
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	EXPECT_EQ(Answered.load(), Waiters * CommandsEach);
	EXPECT_EQ(Mismatches.load(), 0);
}

// Faults caught: the web server answering a refused command with anything but 503 and a reason (a 500, or a
// request that waits for a game thread that will never take it).
TEST(HostHttpServer, Answers503WhenTheQueueIsFull)
{
	FHostSnapshotBoard Board;
	FHostRequestQueue Queue(1);
	FHostHttpServer Server(Board, Queue, {});
	FHostHttpEndpoint Endpoint;
	Endpoint.Port = 0;
	const int Port = Server.Start(Endpoint);
	ASSERT_GT(Port, 0);
	auto Waiting = Queue.Push(MakeRequest("filler"));
	ASSERT_TRUE(Waiting);

	httplib::Client Client("127.0.0.1", Port);
	const httplib::Result Result = Client.Post("/api/take/start", "", "application/json");
	ASSERT_TRUE(Result);
	EXPECT_EQ(Result->status, 503);
	EXPECT_TRUE(nlohmann::json::parse(Result->body).contains("error")) << Result->body;
	Queue.Close();
	Server.Stop();
}
