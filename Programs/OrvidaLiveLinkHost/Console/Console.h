#pragma once

#include "Editor/SnapshotBoard.h"

#include <chrono>

/**
 * The console mode: once a second, one line per source (see HostConsoleLine.h) from the latest published
 * snapshot, on standard output, each line flushed as it is written.
 *
 * Threads: Tick is called by one thread (the game thread, after each publish); it reads only the board.
 */
class FHostConsole
{
public:
	explicit FHostConsole(const FHostSnapshotBoard& InBoard);

	/** Prints the lines when a second has passed since the last ones (or since construction); nothing before the first snapshot. */
	void Tick(std::chrono::steady_clock::time_point Now);

private:
	const FHostSnapshotBoard& Board;
	std::chrono::steady_clock::time_point NextReport;
};
