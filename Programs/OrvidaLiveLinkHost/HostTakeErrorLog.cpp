#include "HostTakeErrorLog.h"

#include "Containers/StringConv.h"
#include "Misc/OutputDeviceRedirector.h"

FHostTakeErrorLog::FHostTakeErrorLog() { GLog->AddOutputDevice(this); }

FHostTakeErrorLog::~FHostTakeErrorLog() { GLog->RemoveOutputDevice(this); }

void FHostTakeErrorLog::Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category)
{
	static const FName TakeRecorderCategory(TEXT("LogTakeRecorder"));
	if (Text == nullptr || Verbosity > ELogVerbosity::Error || Category != TakeRecorderCategory)
	{
		return;
	}
	std::string Line = TCHAR_TO_UTF8(Text);
	std::lock_guard<std::mutex> Guard(Lock);
	LastError = std::move(Line);
}

std::string FHostTakeErrorLog::GetLastError() const
{
	std::lock_guard<std::mutex> Guard(Lock);
	return LastError;
}
