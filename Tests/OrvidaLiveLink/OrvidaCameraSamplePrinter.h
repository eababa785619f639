#pragma once

#include "OrvidaCameraSample.h"

#include <ostream>

/** Lets test failures show a sample field by field. */
inline void PrintTo(const FOrvidaCameraSample& Sample, std::ostream* Out)
{
	const auto Numbers = [Out](const char* Name, const auto& Values)
	{
		*Out << Name << "=[";
		for (size_t Index = 0; Index < std::size(Values); ++Index)
		{
			*Out << (Index ? "," : "") << Values[Index];
		}
		*Out << "] ";
	};
	Numbers("Location", Sample.Location);
	Numbers("Rotation", Sample.Rotation);
	Numbers("Scale", Sample.Scale);
	Numbers("Lens", Sample.Lens);
	Numbers("Timecode", Sample.Timecode);
	*Out << "Metadata=[" << TCHAR_TO_UTF8(*Sample.Metadata[0]) << "|" << TCHAR_TO_UTF8(*Sample.Metadata[1]) << "|" << TCHAR_TO_UTF8(*Sample.Metadata[2])
	     << "] State=" << Sample.State;
}
