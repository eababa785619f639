#include "SenderImpairments.h"

#include <algorithm>
#include <utility>

namespace
{
double Percent(double Value) { return std::clamp(Value, 0.0, 100.0); }
} // namespace

FSenderImpairments::FSenderImpairments(const FSenderImpairmentOptions& InOptions)
    : Options(InOptions)
    , Random(InOptions.Seed)
{
	Options.JitterMilliseconds = std::max(Options.JitterMilliseconds, 0.0);
	Options.LossPercent = Percent(Options.LossPercent);
	Options.ReorderPercent = Percent(Options.ReorderPercent);
	Options.DuplicatePercent = Percent(Options.DuplicatePercent);
	Options.GarbagePercent = Percent(Options.GarbagePercent);
}

FSenderImpairments::FOutcome FSenderImpairments::Apply(std::string Message)
{
	// All five draws every time, so that one decision never shifts the numbers the next messages get.
	const double LossDraw = Draw(), DuplicateDraw = Draw(), ReorderDraw = Draw(), GarbageDraw = Draw(), JitterDraw = Draw();
	FOutcome Outcome;
	Outcome.Delay = std::chrono::nanoseconds(int64_t(JitterDraw * Options.JitterMilliseconds * 1e6));
	if (Chance(Options.LossPercent, LossDraw))
	{
		++Counts.Dropped;
		return Outcome;
	}
	if (Chance(Options.GarbagePercent, GarbageDraw))
	{
		++Counts.Garbled;
		Message = Garble(Message);
	}
	std::vector<std::string> Copies(Chance(Options.DuplicatePercent, DuplicateDraw) ? 2 : 1, Message);
	Counts.Duplicated += int64_t(Copies.size()) - 1;
	if (Held.empty() && Chance(Options.ReorderPercent, ReorderDraw))
	{
		++Counts.Reordered;
		Held = std::move(Copies);
		return Outcome;
	}
	Outcome.Datagrams = std::move(Copies);
	Outcome.Datagrams.insert(Outcome.Datagrams.end(), std::make_move_iterator(Held.begin()), std::make_move_iterator(Held.end()));
	Held.clear();
	return Outcome;
}

std::vector<std::string> FSenderImpairments::Flush() { return std::exchange(Held, {}); }

std::string FSenderImpairments::Garble(const std::string& Message)
{
	// A JSON text cannot end in bytes above 0x7F outside a string, nor inside one that is never closed.
	const size_t Kept = Message.empty() ? 0 : size_t(Random() % Message.size());
	std::string Garbled = Message.substr(0, Kept);
	const size_t Added = 1 + size_t(Random() % 16);
	for (size_t Index = 0; Index < Added; ++Index)
	{
		Garbled += char(0x80 + Random() % 0x80);
	}
	return Garbled;
}
