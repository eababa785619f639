#pragma once

#include "CoreTypes.h"

namespace ELogVerbosity
{
enum Type : uint8
{
	NoLogging = 0,
	Fatal,
	Error,
	Warning,
	Display,
	Log,
	Verbose,
	VeryVerbose,
	All = VeryVerbose,
	NumVerbosity,
	VerbosityMask = 0xf,
};
} // namespace ELogVerbosity

/** The verbosity's name as the log writes it ("Error", "Warning", …). */
CORE_API const TCHAR* ToString(ELogVerbosity::Type Verbosity);
