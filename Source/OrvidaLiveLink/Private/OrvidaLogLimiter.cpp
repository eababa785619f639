#include "OrvidaLogLimiter.h"

#include "HAL/PlatformTime.h"

FOrvidaLogLimiter::FHeldBack FOrvidaLogLimiter::BeginMessage()
{
	// The clock is read only while a window is open: a stream without foreign keys never opens one, and its
	// messages cost no clock reading here.
	bMessageHeldBack = false;
	if (LinesInWindow == 0 || FPlatformTime::Seconds() - WindowStart < WindowSeconds)
	{
		return FHeldBack();
	}
	LinesInWindow = 0;
	const FHeldBack Closed = HeldBack;
	HeldBack = FHeldBack();
	return Closed;
}

bool FOrvidaLogLimiter::TryAdmitLine()
{
	if (LinesInWindow == 0)
	{
		WindowStart = FPlatformTime::Seconds();
	}
	if (LinesInWindow < MaxLinesPerWindow)
	{
		++LinesInWindow;
		return true;
	}
	++HeldBack.Lines;
	if (!bMessageHeldBack)
	{
		bMessageHeldBack = true;
		++HeldBack.Messages;
	}
	return false;
}
