#pragma once

/**
 * Ctrl-C for the host: the first SIGINT or SIGTERM asks for an orderly shutdown, a second one ends the process at
 * once with status 130.
 *
 * Threads: Install runs on the main thread before any other thread starts; the handler runs on whichever thread
 * the kernel picks and only touches one lock-free atomic (and calls _exit, which is async-signal-safe);
 * IsQuitRequested may be called on any thread.
 */
struct FHostSignals
{
	/** Installs the handler for SIGINT and SIGTERM. */
	static void Install();
	static bool IsQuitRequested();
};
