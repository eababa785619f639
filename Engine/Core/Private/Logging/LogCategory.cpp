#include "Logging/LogCategory.h"

#include "Containers/StringConv.h"
#include "Logging/LogMacros.h"
#include "Misc/OutputDeviceRedirector.h"
#include "StandIn/StandInLog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

DEFINE_LOG_CATEGORY(LogTemp)

namespace
{
/** Writes "Category: Verbosity: Text" lines to standard error, as the engine's console log does. */
class FOutputDeviceStdError final : public FOutputDevice
{
public:
	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override
	{
		const FString Line = (Verbosity == ELogVerbosity::Log || Verbosity == ELogVerbosity::Display)
		                         ? FString::Printf(TEXT("%s: %s\n"), *Category.ToString(), Text)
		                         : FString::Printf(TEXT("%s: %s: %s\n"), *Category.ToString(), ToString(Verbosity), Text);
		std::fputs(TCHAR_TO_UTF8(*Line), stderr);
	}
};
} // namespace

const TCHAR* ToString(ELogVerbosity::Type Verbosity)
{
	switch (Verbosity & ELogVerbosity::VerbosityMask)
	{
	case ELogVerbosity::NoLogging:
		return TEXT("NoLogging");
	case ELogVerbosity::Fatal:
		return TEXT("Fatal");
	case ELogVerbosity::Error:
		return TEXT("Error");
	case ELogVerbosity::Warning:
		return TEXT("Warning");
	case ELogVerbosity::Display:
		return TEXT("Display");
	case ELogVerbosity::Log:
		return TEXT("Log");
	case ELogVerbosity::Verbose:
		return TEXT("Verbose");
	case ELogVerbosity::VeryVerbose:
		return TEXT("VeryVerbose");
	default:
		return TEXT("Unknown");
	}
}

FLogCategoryBase::FLogCategoryBase(const TCHAR* CategoryName, ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity)
    : Verbosity_(InDefaultVerbosity)
    , CompileTimeVerbosity_(InCompileTimeVerbosity)
    , CategoryName_(CategoryName)
{
	SetVerbosity(InDefaultVerbosity);
}

void FLogCategoryBase::SetVerbosity(ELogVerbosity::Type NewVerbosity)
{
	Verbosity_.store(ELogVerbosity::Type(std::min<int>(NewVerbosity & ELogVerbosity::VerbosityMask, CompileTimeVerbosity_)), std::memory_order_relaxed);
}

FOutputDeviceRedirector* FOutputDeviceRedirector::Get()
{
	// Never destroyed, so that threads and static destructors may still log while the process exits.
	static FOutputDeviceRedirector* const Log = []
	{
		FOutputDeviceRedirector* Redirector = new FOutputDeviceRedirector();
		Redirector->AddOutputDevice(FStandInLog::GetStandardErrorDevice());
		return Redirector;
	}();
	return Log;
}

FOutputDevice* FStandInLog::GetStandardErrorDevice()
{
	static FOutputDevice* const StdError = new FOutputDeviceStdError();
	return StdError;
}

void FOutputDeviceRedirector::AddOutputDevice(FOutputDevice* OutputDevice)
{
	std::lock_guard<std::mutex> Guard(Lock);
	if (OutputDevice != nullptr && std::find(OutputDevices.begin(), OutputDevices.end(), OutputDevice) == OutputDevices.end())
	{
		OutputDevices.push_back(OutputDevice);
	}
}

void FOutputDeviceRedirector::RemoveOutputDevice(FOutputDevice* OutputDevice)
{
	std::lock_guard<std::mutex> Guard(Lock);
	std::erase(OutputDevices, OutputDevice);
}

void FOutputDeviceRedirector::Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category)
{
	std::lock_guard<std::mutex> Guard(Lock);
	for (FOutputDevice* OutputDevice : OutputDevices)
	{
		OutputDevice->Serialize(Text, Verbosity, Category);
	}
}

void FMsg::LogString(const ANSICHAR* File, int32 Line, const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message)
{
	GLog->Serialize(*Message, Verbosity, Category);
	if ((Verbosity & ELogVerbosity::VerbosityMask) == ELogVerbosity::Fatal)
	{
		std::fprintf(stderr, "Fatal error at %s:%d\n", File, int(Line));
		std::abort();
	}
}
