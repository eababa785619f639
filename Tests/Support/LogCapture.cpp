#include "LogCapture.h"

#include "Misc/OutputDeviceRedirector.h"

FLogCapture::FLogCapture() { GLog->AddOutputDevice(this); }

FLogCapture::~FLogCapture() { GLog->RemoveOutputDevice(this); }

void FLogCapture::Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category)
{
	std::lock_guard<std::mutex> Guard(Lock);
	Lines.push_back(FLine{TCHAR_TO_UTF8(*Category.ToString()), Verbosity, TCHAR_TO_UTF8(Text)});
}

std::vector<FLogCapture::FLine> FLogCapture::GetLines() const
{
	std::lock_guard<std::mutex> Guard(Lock);
	return Lines;
}
