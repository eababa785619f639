#include "Editor/Signals.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace
{
std::atomic<int> GQuitSignals{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

void HandleQuitSignal(int)
{
	if (GQuitSignals.fetch_add(1) > 0)
	{
		_exit(130);
	}
}
} // namespace

void FHostSignals::Install()
{
	struct sigaction Action = {};
	Action.sa_handler = HandleQuitSignal;
	sigemptyset(&Action.sa_mask);
	sigaction(SIGINT, &Action, nullptr);
	sigaction(SIGTERM, &Action, nullptr);
}

bool FHostSignals::IsQuitRequested() { return GQuitSignals.load() > 0; }
