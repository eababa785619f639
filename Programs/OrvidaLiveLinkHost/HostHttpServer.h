#pragma once

#include "HostHttpEndpoint.h"
#include "HostRequestQueue.h"
#include "HostSnapshotBoard.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace httplib
{
class Server;
struct Request;
struct Response;
} // namespace httplib

/**
 * The host's web server: the JSON API (Web/API.md), the event stream, the take files and the static files of the
 * browser UI. It never calls the engine: it reads the snapshots the game thread publishes and queues every other
 * request for the game thread, waiting a bounded time for its answer.
 *
 * Threads: Start and Stop belong to the game thread; the server's own thread accepts connections and its pool of
 * threads runs the handlers, which touch only the board, the queue and the atomics below.
 */
class FHostHttpServer
{
public:
	/** Largest request body accepted (413 beyond). */
	static constexpr size_t MaxBodyBytes = 64 * 1024;
	/** How long a handler waits for the game thread's answer (504 beyond). */
	static constexpr std::chrono::seconds ReplyTimeout{10};
	/** Event streams served at once (503 beyond), so that streams never take every thread of the pool. */
	static constexpr int MaxEventStreams = 4;

	/** URL prefix and the folder whose files it serves as they are; a folder that is not there serves nothing. */
	using FMounts = std::vector<std::pair<std::string, std::filesystem::path>>;

	FHostHttpServer(const FHostSnapshotBoard& InBoard, FHostRequestQueue& InQueue, FMounts InMounts);
	/** Stops the server if it runs. */
	~FHostHttpServer();
	FHostHttpServer(const FHostHttpServer&) = delete;
	FHostHttpServer& operator=(const FHostHttpServer&) = delete;

	/** Binds and starts serving; the port bound (the system's pick for 0), or -1 when the address cannot be bound. */
	int Start(const FHostHttpEndpoint& Endpoint);
	/** Stops accepting, ends the event streams and waits for the server's threads; nothing when not started. */
	void Stop();

private:
	void AddRoutes();
	void ServeState(httplib::Response& Response) const;
	void ServeEvents(httplib::Response& Response);
	void ServeTakeFile(const std::string& FileName, httplib::Response& Response) const;
	/** Queues the command and writes the game thread's answer, or 400, 503 or 504. */
	void Forward(FHostApiRequest::ECommand Command, const httplib::Request& Request, httplib::Response& Response);

	const FHostSnapshotBoard& Board;
	FHostRequestQueue& Queue;
	const FMounts Mounts;
	std::unique_ptr<httplib::Server> Server;
	std::thread ListenThread;
	std::atomic<bool> bStopping{false};
	std::atomic<int> EventStreams{0};
};
