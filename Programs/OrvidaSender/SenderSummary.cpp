#include "SenderSummary.h"

#include <cstdio>

std::string FSenderSummary::Describe() const
{
	char Line[256];
	std::snprintf(Line, sizeof(Line),
	              "%lld messages in %.1f s%s: %lld dropped, %lld duplicated, %lld reordered, %lld garbled on purpose; %lld datagrams sent, %lld refused",
	              (long long)Messages, std::chrono::duration<double>(Elapsed).count(), bStopped ? " (stopped)" : "", (long long)Impairments.Dropped,
	              (long long)Impairments.Duplicated, (long long)Impairments.Reordered, (long long)Impairments.Garbled, (long long)Datagrams,
	              (long long)SendErrors);
	return Line;
}
