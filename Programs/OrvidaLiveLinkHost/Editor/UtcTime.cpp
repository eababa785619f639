#include "Editor/UtcTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

std::string FormatUtcNow()
{
	const auto Now = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
	const std::time_t Seconds = std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(Now));
	const long Milliseconds = long((Now.time_since_epoch() % std::chrono::seconds(1)).count());
	std::tm Utc = {};
	gmtime_r(&Seconds, &Utc);
	char Text[64];
	std::snprintf(Text, sizeof(Text), "%04d-%02d-%02dT%02d:%02d:%02d.%03ldZ", Utc.tm_year + 1900, Utc.tm_mon + 1, Utc.tm_mday, Utc.tm_hour, Utc.tm_min,
	              Utc.tm_sec, Milliseconds);
	return Text;
}
