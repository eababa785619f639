#pragma once

#include "SenderFrameSource.h"
#include "SenderOptions.h"

#include <cstdint>
#include <memory>
#include <string>

/** Makes the frame source that options ask for: a path, or a replay of the file they name, read whole. */
class FSenderFrameSources
{
public:
	struct FOpened
	{
		/** Null when the replay could not be read. */
		std::unique_ptr<ISenderFrameSource> Source;
		/** Why the replay could not be read. */
		std::string Error;
		/** For a replay: what kind of file it was read as and how many frames it gave. */
		std::string Description;
	};

	/**
	 * A replay is read whole into memory before it is sent; 512 MiB holds hours of a 60 fps take, a capture of
	 * millions of datagrams.
	 */
	static constexpr uintmax_t MaxReplayBytes = uintmax_t(512) << 20;

	/**
	 * A capture is known by its first bytes, a take file by the ending .csv; any other file is read as a trajectory.
	 * Refused, with the reason in Error: what is not a regular file, an empty file or one over MaxReplayBytes, a
	 * capture cut off inside a packet, a row with a value that is not a finite number or out of its range, and a
	 * file with nothing to send.
	 */
	static FOpened Open(const FSenderOptions& Options);
};
