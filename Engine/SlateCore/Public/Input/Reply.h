#pragma once

#include "CoreTypes.h"

/** What a widget's input handler tells the host: whether the event was consumed. */
class FReply
{
public:
	static FReply Handled() { return FReply(true); }
	static FReply Unhandled() { return FReply(false); }

	bool IsEventHandled() const { return bIsHandled; }

private:
	explicit FReply(bool bInIsHandled)
	    : bIsHandled(bInIsHandled)
	{
	}

	bool bIsHandled;
};
