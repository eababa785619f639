#include "Editor/StreamState.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

FHostStateSnapshot FHostStreamState::Judge(const FHostSourceSnapshot& Source, double TicksPerSecond)
{
	char Text[96];
	if (!CanReceive(Source.Status))
	{
		return {Source.Status, EHostSeverity::Error};
	}
	if (Source.Received == 0 || Source.SecondsSinceLastDatagram < 0.0)
	{
		return {"Waiting for data", EHostSeverity::Notice};
	}
	if (Source.SecondsSinceLastDatagram > StoppedSeconds)
	{
		std::snprintf(Text, sizeof(Text), "Stopped %.0f s ago", std::floor(Source.SecondsSinceLastDatagram));
		return {Text, EHostSeverity::Error};
	}
	if (Source.RecentSenders >= 2)
	{
		return {Source.RecentSenders == 2 ? "Two senders on this port" : std::to_string(Source.RecentSenders) + " senders on this port", EHostSeverity::Error};
	}
	if (Source.SecondsSinceLastDatagram > LateSeconds)
	{
		std::snprintf(Text, sizeof(Text), "Late %.1f s", Source.SecondsSinceLastDatagram);
		return {Text, EHostSeverity::Warning};
	}
	if (Source.LostFraction >= LossFraction)
	{
		std::snprintf(Text, sizeof(Text), "Losing %.0f %% of frames", std::min(Source.LostFraction, 1.0) * 100.0);
		return {Text, EHostSeverity::Warning};
	}
	if (Source.JitterMilliseconds >= UnevenMilliseconds)
	{
		std::snprintf(Text, sizeof(Text), "Uneven arrivals (%.0f ms)", Source.JitterMilliseconds);
		return {Text, EHostSeverity::Notice};
	}
	if (Source.DecimatedPerSecond >= DecimatedPerSecond)
	{
		std::snprintf(Text, sizeof(Text), "Decimated: %.0f/s into %.0f ticks/s", Source.ReceivedPerSecond, TicksPerSecond);
		return {Text, EHostSeverity::Ok};
	}
	if (Source.ReceivedPerSecond > 0.0)
	{
		std::snprintf(Text, sizeof(Text), "Receiving %.0f/s", Source.ReceivedPerSecond);
		return {Text, EHostSeverity::Ok};
	}
	return {"Receiving", EHostSeverity::Ok};
}

const char* FHostStreamState::SeverityName(EHostSeverity Severity)
{
	switch (Severity)
	{
	case EHostSeverity::Ok:
		return "ok";
	case EHostSeverity::Notice:
		return "notice";
	case EHostSeverity::Warning:
		return "warning";
	case EHostSeverity::Error:
		return "error";
	}
	return "error";
}

bool FHostStreamState::CanReceive(const std::string& Status)
{
	// A source on a multicast group names it after these words: "Receiving (group 239.1.2.3)".
	for (const std::string_view Words : {std::string_view("Receiving"), std::string_view("Waiting for data")})
	{
		if (Status == Words ||
		    (Status.size() > Words.size() && Status.compare(0, Words.size(), Words) == 0 && Status.compare(Words.size(), 8, " (group ") == 0))
		{
			return true;
		}
	}
	return false;
}
