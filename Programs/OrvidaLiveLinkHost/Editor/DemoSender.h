#pragma once

#include "CoreMinimal.h"
#include "Interfaces/IPv4/IPv4Endpoint.h"

#include <memory>
#include <string>
#include <thread>

class FSenderSession;

/**
 * The host's --demo: plays the camera application into a source, an orbit at 25 frames a second with the take
 * DEMO #1, whose messages say "recording" from 5 s into the stream until 20 s, so that a take is recorded
 * without a camera at hand.
 *
 * Threads: Start, Stop and the destructor belong to the game thread. The session runs on a thread of its own
 * and touches nothing of the engine: it only sends datagrams.
 */
class FHostDemoSender
{
public:
	/**
	 * Starts streaming to Endpoint, or to 127.0.0.1 on its port when Endpoint names every address (0.0.0.0).
	 * Null when there is nowhere to send: a port of 0.
	 */
	static std::unique_ptr<FHostDemoSender> Start(const FIPv4Endpoint& Endpoint);
	/** Stops the session and waits for its thread. */
	~FHostDemoSender();
	FHostDemoSender(const FHostDemoSender&) = delete;
	FHostDemoSender& operator=(const FHostDemoSender&) = delete;

	/** What is being sent where, in one line. */
	const std::string& GetDescription() const { return Description; }
	/** Stops the session, waits for its thread and says in one line what was sent; later calls say it again. */
	std::string Stop();

	static constexpr double RecordAfterSeconds = 5.0;
	static constexpr double StopAfterSeconds = 20.0;

private:
	FHostDemoSender(std::unique_ptr<FSenderSession> InSession, std::string InDescription);

	std::unique_ptr<FSenderSession> Session;
	std::string Description;
	std::string Outcome;
	std::thread Thread;
};
