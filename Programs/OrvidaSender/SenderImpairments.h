#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

/** How badly to treat the stream; percentages are of messages, 0 to 100. */
struct FSenderImpairmentOptions
{
	/** Each message goes out up to this many milliseconds after its deadline, uniformly. */
	double JitterMilliseconds = 0.0;
	double LossPercent = 0.0;
	/** A message held back to go out right after the next one sent. */
	double ReorderPercent = 0.0;
	/** A message sent twice in a row. */
	double DuplicatePercent = 0.0;
	/** A message cut short and ended with bytes no JSON text ends with, so that the receiver can never read it. */
	double GarbagePercent = 0.0;
	uint64_t Seed = 1;
};

/** What was done to the stream on purpose. */
struct FSenderImpairmentCounts
{
	int64_t Dropped = 0;
	int64_t Duplicated = 0;
	int64_t Reordered = 0;
	int64_t Garbled = 0;
};

/**
 * Decides, message by message, what happens to the stream. The same seed and the same messages give the same
 * decisions, whatever the timing, since every message draws the same numbers in the same order. One thread uses it.
 */
class FSenderImpairments
{
public:
	/** Percentages outside 0 to 100 act as the nearest bound; a negative jitter as none. */
	explicit FSenderImpairments(const FSenderImpairmentOptions& InOptions);

	/** What to send for one message, in order, and how long after its deadline. */
	struct FOutcome
	{
		std::vector<std::string> Datagrams;
		std::chrono::nanoseconds Delay{0};

		bool operator==(const FOutcome&) const = default;
	};
	FOutcome Apply(std::string Message);
	/** The message still held back for reordering, once the stream has ended; empty when none is. */
	std::vector<std::string> Flush();

	const FSenderImpairmentCounts& GetCounts() const { return Counts; }

private:
	bool Chance(double Percent, double Draw) const { return Draw * 100.0 < Percent; }
	double Draw() { return double(Random() >> 11) * 0x1.0p-53; }
	std::string Garble(const std::string& Message);

	FSenderImpairmentOptions Options;
	std::mt19937_64 Random;
	FSenderImpairmentCounts Counts;
	/** The message held back and its duplicate, if it has one. */
	std::vector<std::string> Held;
};
