#pragma once

#include "Server/ApiCommands.h"
#include "Server/HttpEndpoint.h"
#include "Server/HttpServer.h"
#include "Server/RequestQueue.h"

#include <memory>

/**
 * The browser's way into the host: the web server on its threads, and on the game thread the commands it queues
 * and what only the browser needs in each snapshot.
 *
 * Threads: Start, Tick, Fill and the destructor belong to the game thread (FHostHttpServer says what its own
 * threads do).
 */
class FHostWebApi
{
public:
	/**
	 * Serves on Endpoint and prints "serving http://HOST:PORT" (for an address other machines can reach, a warning
	 * line and the address with the token: "serving http://HOST:PORT/?token=TOKEN"); null, with a line on standard
	 * error, when the address cannot be bound.
	 */
	static std::unique_ptr<FHostWebApi> Start(const FHostHttpEndpoint& Endpoint, const FHostSnapshotBoard& Board, FHostEditor& Editor, FLiveLinkClient& Client,
	                                          FTakeRecorder& TakeRecorder, TArray<FHostSource>& Sources, FHostPresets& Presets, const FHostLogBuffer& Log,
	                                          FOrvidaLiveLinkSource::FDatagramTap Tap);
	/** Answers the commands still queued with 503, then stops the server and waits for its threads. */
	~FHostWebApi();

	/** Runs the commands queued since the last tick. */
	void Tick();
	/** Adds the factories, the open panel, the settings and the log to the snapshot being built. */
	void Fill(FHostSnapshot& Snapshot) const { Commands.Fill(Snapshot); }

private:
	FHostWebApi(const FHostSnapshotBoard& Board, FHostEditor& Editor, FLiveLinkClient& Client, FTakeRecorder& TakeRecorder, TArray<FHostSource>& Sources,
	            FHostPresets& Presets, const FHostLogBuffer& Log, FOrvidaLiveLinkSource::FDatagramTap Tap);

	FHostApiCommands Commands;
	FHostRequestQueue Queue;
	FHostHttpServer Server;
};
