#pragma once

#include <chrono>
#include <thread>

/**
 * Polls Condition until it holds or Limit has passed; returns its last value. The limit only bounds a test
 * that would otherwise hang: no test asserts how long anything took.
 */
template <typename ConditionType> bool WaitUntil(ConditionType&& Condition, std::chrono::milliseconds Limit = std::chrono::seconds(10))
{
	const auto Deadline = std::chrono::steady_clock::now() + Limit;
	while (!Condition())
	{
		if (std::chrono::steady_clock::now() >= Deadline)
		{
			return Condition();
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
	}
	return true;
}
