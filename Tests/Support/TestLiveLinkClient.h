#pragma once

#include "ILiveLinkClient.h"

/** A Live Link client that only ticks: the test thread plays the game thread and calls Tick. */
class FTestLiveLinkClient final : public ILiveLinkClient
{
public:
	FSimpleMulticastDelegate& OnLiveLinkTicked() override { return Ticked; }
	void Tick() { Ticked.Broadcast(); }
	bool HasTickRegistrations() const { return Ticked.IsBound(); }

private:
	FSimpleMulticastDelegate Ticked;
};
