#include "SenderFrameRate.h"

#include <charconv>

namespace
{
std::optional<int32_t> ParsePositive(std::string_view Text)
{
	int32_t Value = 0;
	const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
	if (Error != std::errc() || End != Text.data() + Text.size() || Value <= 0)
	{
		return std::nullopt;
	}
	return Value;
}
} // namespace

std::optional<FSenderFrameRate> FSenderFrameRate::Parse(std::string_view Text)
{
	const size_t Slash = Text.find('/');
	const std::optional<int32_t> Numerator = ParsePositive(Text.substr(0, Slash));
	const std::optional<int32_t> Denominator = Slash == std::string_view::npos ? 1 : ParsePositive(Text.substr(Slash + 1));
	if (!Numerator || !Denominator || int64_t(*Numerator) > int64_t(*Denominator) * 1000)
	{
		return std::nullopt;
	}
	return FSenderFrameRate{*Numerator, *Denominator};
}

std::chrono::nanoseconds FSenderFrameRate::TimeOfFrame(int64_t Index) const
{
	// Whole periods of Numerator frames last Denominator seconds; splitting there keeps the product in 64 bits.
	constexpr int64_t NanosecondsPerSecond = 1'000'000'000;
	const int64_t Periods = Index / Numerator;
	const int64_t Rest = Index % Numerator;
	return std::chrono::nanoseconds(Periods * Denominator * NanosecondsPerSecond + Rest * Denominator * NanosecondsPerSecond / Numerator);
}
