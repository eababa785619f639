#include "SenderOptions.h"

std::string FSenderOptions::Validate() const
{
	const auto IsPercent = [](double Value) { return Value >= 0.0 && Value <= 100.0; };
	if (Destinations.empty())
	{
		return "--to: at least one destination is needed";
	}
	if (!(Speed > 0.0))
	{
		return "--speed must be above 0";
	}
	if (DurationSeconds && !(*DurationSeconds > 0.0))
	{
		return "--duration must be above 0";
	}
	if (Count && *Count < 0)
	{
		return "--count cannot be negative";
	}
	if (RecordAfterSeconds && StopAfterSeconds && !(*StopAfterSeconds > *RecordAfterSeconds))
	{
		return "--stop-after must come after --record-after";
	}
	if (!(Impairments.JitterMilliseconds >= 0.0))
	{
		return "--jitter cannot be negative";
	}
	const std::pair<const char*, double> Percentages[] = {{"--loss", Impairments.LossPercent},
	                                                      {"--reorder", Impairments.ReorderPercent},
	                                                      {"--duplicate", Impairments.DuplicatePercent},
	                                                      {"--garbage", Impairments.GarbagePercent}};
	for (const auto& [Name, Value] : Percentages)
	{
		if (!IsPercent(Value))
		{
			return std::string(Name) + " must be a percentage from 0 to 100";
		}
	}
	return "";
}
