#pragma once

#include "SenderFrame.h"

#include <cstdint>

/** Hands out a stream's frames in order, their offsets never decreasing. One thread at a time uses a source. */
class ISenderFrameSource
{
public:
	virtual ~ISenderFrameSource() = default;

	/** The next frame into Out; false, leaving Out alone, once the stream has ended. */
	virtual bool Next(FSenderFrame& Out) = 0;
	/** How many frames Next hands out in all, or -1 for a stream without end. */
	virtual int64_t GetFrameCount() const = 0;
};
