#pragma once

#include "SenderFrameRate.h"
#include "SenderReplay.h"

#include <string>

/**
 * Reads a take file the host wrote (CSV with a header row) into frames of its first subject (the Subject column
 * and, when there is one, the Source column: two sources may send subjects of one name): timing from
 * WorldTime, the frame number and rate from FrameNumber, RateNumerator and RateDenominator, the pose and lens
 * from their columns. Columns are found by their header names, so their order and unknown columns do not
 * matter; lines starting with '#' are comments, and a comment "Slate: TEXT" or "Take: N" (also "Key=Value")
 * names the take. Without such comments the slate and take come from the file name, Slate_Take.csv.
 */
class FSenderTakeFileReader
{
public:
	/**
	 * Fails when the file cannot be read, lacks WorldTime or a Location or Rotation column, or holds a number that
	 * does not read as one (the error names the line). Rows of other subjects and rows without a transform are
	 * skipped and counted; a missing or zero rate takes FallbackRate and a missing frame number counts on from the
	 * row before. A WorldTime earlier than the row before's is sent right after it, keeping the file's order. A
	 * row with the frame number and rate of the frame before is that frame published again on a later tick: it is
	 * skipped.
	 */
	static FSenderReplay Read(const std::string& Path, FSenderFrameRate FallbackRate);
};
