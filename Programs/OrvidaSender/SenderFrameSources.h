#pragma once

#include "SenderFrameSource.h"
#include "SenderOptions.h"

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

	/** A capture is known by its first bytes, a take file by the ending .csv; any other file is read as a trajectory. */
	static FOpened Open(const FSenderOptions& Options);
};
