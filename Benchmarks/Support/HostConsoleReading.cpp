#include "HostConsoleReading.h"

#include <cmath>
#include <regex>

namespace
{
/** HH:MM:SS:FF at Numerator/Denominator frames a second, counted as the host prints it (whole frames a second, rounded up). */
std::optional<int64_t> FrameNumberOf(const std::string& Timecode, int64_t Numerator, int64_t Denominator)
{
	static const std::regex Pattern(R"(^(-?)(\d+):(\d+):(\d+):(\d+)$)");
	std::smatch Parts;
	if (Denominator <= 0 || !std::regex_match(Timecode, Parts, Pattern))
	{
		return std::nullopt;
	}
	const int64_t FramesPerSecond = int64_t(std::ceil(double(Numerator) / double(Denominator)));
	const int64_t Seconds = (std::stoll(Parts[2]) * 60 + std::stoll(Parts[3])) * 60 + std::stoll(Parts[4]);
	const int64_t Frames = Seconds * FramesPerSecond + std::stoll(Parts[5]);
	return Parts[1].length() > 0 ? -Frames : Frames;
}
} // namespace

std::optional<FHostConsoleReading> ParseHostConsoleLine(const std::string& Line)
{
	// The status may hold spaces ("Device Not Found"), the slate too, so both are matched lazily.
	static const std::regex Pattern(R"(^(\S+) (.+?), received (\d+) \([\d.]+/s\), samples (\d+), dropped (\d+), )"
	                                R"(rate (?:(\d+)/(\d+)|-), timecode (\S+), ring (\d+)/(\d+), take .*?, unparsed (\d+), )");
	std::smatch Parts;
	if (!std::regex_search(Line, Parts, Pattern))
	{
		return std::nullopt;
	}
	FHostConsoleReading Reading;
	Reading.Endpoint = Parts[1];
	Reading.Status = Parts[2];
	Reading.Received = std::stoll(Parts[3]);
	Reading.Samples = std::stoll(Parts[4]);
	Reading.Dropped = std::stoll(Parts[5]);
	Reading.RingCount = std::stoi(Parts[9]);
	Reading.RingCapacity = std::stoi(Parts[10]);
	Reading.Unparsed = std::stoll(Parts[11]);
	// The host counts the samples it decimated (one a tick of a stream faster than the ticks) apart from those it
	// dropped otherwise; both were overwritten before they were due.
	static const std::regex Decimated(R"(, decimated (\d+), )");
	std::smatch DecimatedParts;
	if (std::regex_search(Line, DecimatedParts, Decimated))
	{
		Reading.Dropped += std::stoll(DecimatedParts[1]);
	}
	Reading.bSubjectDisabled = Line.find(", subject disabled") != std::string::npos;
	if (Parts[6].matched)
	{
		Reading.PublishedFrame = FrameNumberOf(Parts[8], std::stoll(Parts[6]), std::stoll(Parts[7]));
	}
	return Reading;
}
