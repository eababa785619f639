#pragma once

#include "HostSnapshot.h"

#include <string>

/**
 * One console line for a source: its endpoint and status, then comma-separated "name value" pairs, e.g.
 * "127.0.0.1:9001 Receiving, samples 250, dropped 0, rate 25/1, timecode 00:00:10:00, ring 3/6, take A004 #12 recording".
 * Scripts parse this line: new pairs go at the end or between existing ones, never in place of one. Rate and
 * timecode read "-" before the first frame, an empty slate reads "-", and ", take error TEXT" follows while the
 * Take Recorder has an error to report.
 */
std::string FormatConsoleLine(const FHostSourceSnapshot& Source, const FHostTakeSnapshot& Take);

/**
 * The frame number at the rate as non-drop timecode HH:MM:SS:FF, with frames per second rounded up as the
 * engine's timecode does (29.97 counts 30 frames); a negative frame number gets a leading '-', and a rate that
 * is not positive reads "-".
 */
std::string FormatTimecode(int32_t FrameNumber, int32_t RateNumerator, int32_t RateDenominator);
