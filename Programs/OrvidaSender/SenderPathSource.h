#pragma once

#include "SenderFrameSource.h"
#include "SenderPath.h"

/** An endless stream of a path's frames at its rate; the first frame's number is StartFrame. */
class FSenderPathSource final : public ISenderFrameSource
{
public:
	FSenderPathSource(FSenderPath::EKind Kind, FSenderFrameRate InRate, int64_t InStartFrame)
	    : Path(Kind, InRate)
	    , Rate(InRate)
	    , StartFrame(InStartFrame)
	{
	}

	bool Next(FSenderFrame& Out) override;
	int64_t GetFrameCount() const override { return -1; }

private:
	FSenderPath Path;
	FSenderFrameRate Rate;
	int64_t StartFrame;
	int64_t NextIndex = 0;
};
