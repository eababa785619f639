#include "SenderRun.h"

#include "SiblingProgram.h"

#include <regex>

namespace
{
std::vector<std::string> SenderArguments(const std::vector<std::string>& Endpoints, int32_t Rate, double Seconds)
{
	std::vector<std::string> Arguments{FindSiblingProgram("orvida-send"), "--rate", std::to_string(Rate), "--duration", std::to_string(Seconds)};
	for (const std::string& Endpoint : Endpoints)
	{
		Arguments.insert(Arguments.end(), {"--to", Endpoint});
	}
	return Arguments;
}
} // namespace

std::optional<FSentCount> ParseSentCount(const std::string& Line)
{
	static const std::regex Pattern(R"(^orvida-send: (\d+) messages in .*; (\d+) datagrams sent, (\d+) refused$)");
	std::smatch Parts;
	if (!std::regex_match(Line, Parts, Pattern))
	{
		return std::nullopt;
	}
	return FSentCount{std::stoll(Parts[1]), std::stoll(Parts[2]), std::stoll(Parts[3])};
}

FSenderRun::FSenderRun(const std::vector<std::string>& Endpoints, int32_t Rate, double Seconds)
    : Process(SenderArguments(Endpoints, Rate, Seconds))
{
}

std::optional<FSentCount> FSenderRun::WaitForCount(std::chrono::steady_clock::time_point Deadline)
{
	while (const std::optional<std::string> Line = Process.ReadLine(Deadline))
	{
		if (std::optional<FSentCount> Count = ParseSentCount(*Line))
		{
			return Count;
		}
	}
	return std::nullopt;
}
