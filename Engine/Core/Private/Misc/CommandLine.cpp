#include "Misc/CommandLine.h"

#include "Containers/UnrealString.h"
#include "HAL/PlatformProcess.h"
#include "Misc/Parse.h"

#include <chrono>
#include <thread>

namespace
{
FString& CommandLineText()
{
	static FString Text;
	return Text;
}
} // namespace

const TCHAR* FCommandLine::Get() { return *CommandLineText(); }

bool FCommandLine::Set(const TCHAR* NewCommandLine)
{
	CommandLineText() = FString(NewCommandLine);
	return true;
}

bool FParse::Param(const TCHAR* Stream, const TCHAR* Param)
{
	const FString Text(Stream);
	const FString Wanted = FString(TEXT("-")) + Param;
	for (int32 Start = Text.Find(Wanted); Start != INDEX_NONE; Start = Text.Find(Wanted, ESearchCase::IgnoreCase, Start + 1))
	{
		const int32 End = Start + Wanted.Len();
		const bool bWordStart = Start == 0 || FChar::IsWhitespace(Text[Start - 1]);
		const bool bWordEnd = End == Text.Len() || FChar::IsWhitespace(Text[End]);
		if (bWordStart && bWordEnd)
		{
			return true;
		}
	}
	return false;
}

bool FPlatformProcess::SupportsMultithreading() { return !FParse::Param(FCommandLine::Get(), TEXT("nothreading")); }

void FPlatformProcess::Sleep(float Seconds) { std::this_thread::sleep_for(std::chrono::duration<float>(Seconds)); }
