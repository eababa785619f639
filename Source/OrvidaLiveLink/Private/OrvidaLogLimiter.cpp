#include "OrvidaLogLimiter.h"

#include "HAL/PlatformTime.h"

FOrvidaLogLimiter::FHeldBack FOrvidaLogLimiter::BeginMessage()
{
	// One clock reading per message: a message is decoded in far less than a window, and reading the clock per
	// line would cost as much as the lines it saves.
	MessageTime = FPlatformTime::Seconds();
	bMessageHeldBack = false;
	if (LinesInWindow == 0 || MessageTime - WindowStart < WindowSeconds)
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
		WindowStart = MessageTime;
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
