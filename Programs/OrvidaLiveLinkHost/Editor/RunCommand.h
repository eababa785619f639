#pragma once

#include "CoreMinimal.h"
#include "Editor/SourceCreation.h"
#include "Server/HttpEndpoint.h"

#include <optional>
#include <string>
#include <vector>

struct FHostRunOptions
{
	/** Empty: the current folder. */
	FString ProjectDir;
	/** In the order given. */
	std::vector<FHostSourceRequest> Sources;
	/** Ticks of the game thread per second. */
	double TickRate = 60.0;
	/** Stop after this many seconds, as Ctrl-C would; 0 runs until Ctrl-C. */
	double Seconds = 0.0;
	/** One line per source per second on standard output. */
	bool bConsole = false;
	/** Plays the camera application into the first source on a thread of the host's own (FHostDemoSender). */
	bool bDemo = false;
	/** Opens the Take Recorder panel at start-up, as a user does before the plug-in's take automation can reach it. */
	bool bTakePanel = false;
	/** The Take Recorder's countdown before each take records, in seconds. */
	float CountdownSeconds = 3.0f;
	/** Where to write a pcap capture of every datagram every source receives; empty: no capture. */
	std::string CapturePath;
	/** The preset file to restore the sources from at start, when it exists, and to save and load from the browser; empty: none. */
	std::string PresetPath;
	/** Serves the web API and the browser UI there; the host then runs without sources too. */
	std::optional<FHostHttpEndpoint> Http;
};

/**
 * Runs the host as the editor would run the plug-in: starts the project and the module, makes the sources
 * through the factory, ticks the Live Link client on this thread (which becomes the game thread) with the Take
 * Recorder attached, publishes a snapshot per tick, and shuts everything down in order on Ctrl-C or after
 * Options.Seconds. Returns 0 after an orderly shutdown, 1 when the module cannot be started, no source is
 * usable (each source that is not says so, naming its endpoint) or the capture could not be written, and 2,
 * before starting anything, when the capture file cannot be opened.
 */
int RunHost(const FHostRunOptions& Options);
