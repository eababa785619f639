#pragma once

#include "HAL/Runnable.h"
#include "HAL/RunnableThread.h"

#include <functional>
#include <pthread.h>
#include <utility>

/**
 * Runs a function on a thread of its own with a given stack size, as the receiver runs with its 128 KiB, and waits
 * for it. The thread reports the stack it actually got, so that a test can tell that it did run small.
 */
class FSmallStackThread final : public FRunnable
{
public:
	/** The stack the thread actually got; 0 until it has run. */
	size_t StackSize = 0;

	explicit FSmallStackThread(std::function<void()> InBody)
	    : Body(std::move(InBody))
	{
	}

	/** False when the thread could not be created. */
	bool RunAndWait(uint32 InStackSize)
	{
		FRunnableThread* Thread = FRunnableThread::Create(this, TEXT("SmallStack"), InStackSize);
		if (Thread == nullptr)
		{
			return false;
		}
		Thread->WaitForCompletion();
		delete Thread;
		return true;
	}

	uint32 Run() override
	{
		pthread_attr_t Attributes;
		if (pthread_getattr_np(pthread_self(), &Attributes) == 0)
		{
			pthread_attr_getstacksize(&Attributes, &StackSize);
			pthread_attr_destroy(&Attributes);
		}
		Body();
		return 0;
	}

private:
	std::function<void()> Body;
};
