#pragma once

#include "SenderDestination.h"
#include "SenderFrameRate.h"
#include "SenderImpairments.h"
#include "SenderPath.h"
#include "SenderTrajectoryReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/** What a sending session does; the command line's options, one for one. Times are seconds after the start. */
struct FSenderOptions
{
	/** Every message goes to each of these. */
	std::vector<FSenderDestination> Destinations;
	/** The time to live of datagrams to a multicast group; unset: the system's 1, which keeps them on the local network. */
	std::optional<uint8_t> MulticastTtl;
	FSenderFrameRate Rate;
	FSenderPath::EKind Path = FSenderPath::EKind::Orbit;
	/** A capture (pcap or pcapng), a take file (.csv) or a trajectory (anything else); empty to send Path. */
	std::string ReplayFile;
	/** The take's names; where unset, a replay's own are kept, and a stream without any gets the session's defaults. */
	std::optional<std::string> Scene;
	std::optional<std::string> Slate;
	std::optional<std::string> Take;
	/** Messages say "recording" from RecordAfter (0 when only StopAfter is set) until StopAfter; never when both are unset. */
	std::optional<double> RecordAfterSeconds;
	std::optional<double> StopAfterSeconds;
	/** The session ends at whichever comes first: Duration, Count messages, the end of a replay, or Stop. */
	std::optional<double> DurationSeconds;
	std::optional<int64_t> Count;
	/** The frame number of the first frame made up from a path or a trajectory. */
	int64_t StartFrame = 0;
	double Speed = 1.0;
	bool bLoop = false;
	FSenderTrajectoryReader::EUnits Units = FSenderTrajectoryReader::EUnits::Centimetres;
	FSenderTrajectoryReader::EAxes Axes = FSenderTrajectoryReader::EAxes::None;
	/** For captures: only datagrams to this port are sent. */
	std::optional<uint16_t> PortFilter;
	FSenderImpairmentOptions Impairments;

	/** Empty when the options make sense together; otherwise what is wrong, one option named. */
	std::string Validate() const;
};
