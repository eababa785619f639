#pragma once

#include "Editor/SnapshotBoard.h"
#include "Server/ConnectionWatch.h"
#include "Server/HttpEndpoint.h"
#include "Server/RequestGate.h"
#include "Server/RequestQueue.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
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
 * request for the game thread, waiting a bounded time for its answer. FHostRequestGate says who may talk to it;
 * every body is read with a bound however it is framed, every connection serves one request and must deliver it
 * within FHostConnectionWatch::RequestDeadline, and event streams have a bound of their own, so that neither slow
 * clients nor held streams can take every thread.
 *
 * Threads: Start and Stop belong to the game thread; the server's own thread accepts connections and its pool of
 * threads runs the handlers, which touch only the board, the queue, the gate, the watch and the atomics below.
 */
class FHostHttpServer
{
public:
	/** Largest request body accepted (413 beyond). */
	static constexpr size_t MaxBodyBytes = 64 * 1024;
	/** How long a handler waits for the game thread's answer (504 beyond). */
	static constexpr std::chrono::seconds ReplyTimeout{10};
	/** Event streams served at once (503 beyond); each holds a thread for as long as the page is open. */
	static constexpr int MaxEventStreams = 4;
	/**
	 * Threads that serve connections. Each stream holds one, and each slow client one until the watch cuts it, so
	 * that the API keeps threads of its own while sixteen slow clients and every stream are held.
	 */
	static constexpr int ServerThreads = 24;

	/** URL prefix and the folder whose files it serves as they are; a folder that is not there serves nothing. */
	using FMounts = std::vector<std::pair<std::string, std::filesystem::path>>;

	FHostHttpServer(const FHostSnapshotBoard& InBoard, FHostRequestQueue& InQueue, FMounts InMounts);
	/** Stops the server if it runs. */
	~FHostHttpServer();
	FHostHttpServer(const FHostHttpServer&) = delete;
	FHostHttpServer& operator=(const FHostHttpServer&) = delete;

	/**
	 * Binds and starts serving; the port bound (the system's pick for 0), or -1 when the address cannot be bound.
	 * Bound to an address that other machines can reach, the server requires a token of its own (GetToken).
	 */
	int Start(const FHostHttpEndpoint& Endpoint);
	/** The token every request must carry; empty when the server is bound to the loopback, or not started. */
	const std::string& GetToken() const { return Token; }
	/** Stops accepting, ends the event streams and waits for the server's threads; nothing when not started. */
	void Stop();

private:
	void AddRoutes();
	void ServeState(httplib::Response& Response) const;
	void ServeEvents(httplib::Response& Response);
	void ServeTakeFile(const std::string& FileName, httplib::Response& Response) const;
	/** Queues the command with the body read and writes the game thread's answer, or 400, 503 or 504. */
	void Forward(FHostApiRequest::ECommand Command, const httplib::Request& Request, const std::string& Body, httplib::Response& Response);
	/** The gate's verdict, written as the answer when it refuses; marks a request without a body as read. */
	bool Admit(const httplib::Request& Request, httplib::Response& Response);

	const FHostSnapshotBoard& Board;
	FHostRequestQueue& Queue;
	const FMounts Mounts;
	std::unique_ptr<httplib::Server> Server;
	std::string Token;
	/** Made by Start, once the port is known; read-only afterwards. */
	std::optional<FHostRequestGate> Gate;
	FHostConnectionWatch Watch;
	std::thread ListenThread;
	std::atomic<bool> bStopping{false};
	std::atomic<int> EventStreams{0};
};
