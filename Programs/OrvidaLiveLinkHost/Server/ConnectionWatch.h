#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

/**
 * Cuts the server's connections that do not deliver a whole request in time. The HTTP library bounds only each
 * read, so a client that sends one byte every few seconds would hold one of its threads for as long as it likes,
 * and a handful of such clients would take the API down. The watch finds the server's connections in the kernel's
 * TCP tables (those accepted on its port) and their descriptors by socket inode, and shuts down, both ways, each
 * one that has not been marked as
 * having delivered its request RequestDeadline after it was first seen; the library's thread then sees the
 * connection end and is free again. A connection is known by its peer's address and port, which is all the library
 * tells a handler about its connection.
 *
 * Threads: Start and Stop belong to the thread that owns the server; MarkRequestRead is called on the server's
 * threads; the watch runs on a thread of its own. Lock protects Connections and the counters.
 */
class FHostConnectionWatch
{
public:
	/** How long a connection has for its request line, headers and body. A browser sends them at once over the loopback. */
	static constexpr std::chrono::seconds RequestDeadline{4};
	/** How often the sockets are looked over, which adds up to this much to the deadline. */
	static constexpr std::chrono::milliseconds Period{200};

	FHostConnectionWatch() = default;
	/** Stops the watch. */
	~FHostConnectionWatch();
	FHostConnectionWatch(const FHostConnectionWatch&) = delete;
	FHostConnectionWatch& operator=(const FHostConnectionWatch&) = delete;

	/** Watches the connections accepted on Port (TCP, any address); nothing while already watching. */
	void Start(int Port);
	/** Stops watching and waits for the watch's thread; nothing when not watching. */
	void Stop();

	/** The connection from this peer has delivered its request and is no longer cut; an unknown peer is remembered until seen. */
	void MarkRequestRead(const std::string& PeerAddress, int PeerPort);

	/** Connections cut since the start because their request came too slowly. */
	int64_t GetCutCount() const;

private:
	struct FConnection
	{
		std::chrono::steady_clock::time_point FirstSeen;
		bool bRequestRead = false;
		/** Set by the pass that saw it, so that the connections gone since can be forgotten. */
		uint64_t LastPass = 0;
	};
	using FPeer = std::pair<std::string, int>;

	void Run();
	void LookOver();

	int Port = 0;
	std::thread Thread;
	mutable std::mutex Lock;
	std::condition_variable Wake;
	bool bStopping = false;
	std::map<FPeer, FConnection> Connections;
	uint64_t Pass = 0;
	int64_t CutCount = 0;
};
