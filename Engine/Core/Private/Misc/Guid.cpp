#include "Misc/Guid.h"

#include <mutex>
#include <random>

FGuid FGuid::NewGuid()
{
	static std::mutex Lock;
	static std::mt19937_64 Generator{std::random_device{}()};
	std::lock_guard<std::mutex> Guard(Lock);
	FGuid Result;
	do
	{
		const uint64 High = Generator();
		const uint64 Low = Generator();
		Result = FGuid(uint32(High >> 32), uint32(High), uint32(Low >> 32), uint32(Low));
	} while (!Result.IsValid());
	return Result;
}

FString FGuid::ToString() const { return FString::Printf(TEXT("%08X%08X%08X%08X"), A, B, C, D); }
