#pragma once

#include "SenderFrame.h"

#include <cstdint>
#include <string>
#include <vector>

/** What a replay reader made of a file: its frames in file order, or why it could not read it. */
struct FSenderReplay
{
	std::vector<FSenderFrame> Frames;
	/** Records of the file that carry nothing to send (another subject, not UDP, filtered out). */
	int64_t SkippedRecords = 0;
	/** Empty when the file was read; otherwise says what was wrong and where, and Frames is empty. */
	std::string Error;

	static FSenderReplay Failure(std::string Message)
	{
		FSenderReplay Replay;
		Replay.Error = std::move(Message);
		return Replay;
	}
};
