#include "HAL/RunnableThread.h"
#include "Containers/StringConv.h"
#include "HAL/Runnable.h"
#include "Misc/CommandLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using namespace std::chrono_literals;

/** Records what the thread did with it; Run can be made to wait until Stop asks it to finish. */
class FRecordingRunnable : public FRunnable
{
public:
	bool bInitResult = true;
	bool bRunUntilStopped = false;
	std::chrono::milliseconds InitDelay{0};

	bool Init() override
	{
		// Widens the window in which a Create that did not wait for Init would return early.
		std::this_thread::sleep_for(InitDelay);
		Record("Init");
		return bInitResult;
	}

	uint32 Run() override
	{
		Record("Run");
		pthread_attr_t Attributes;
		if (pthread_getattr_np(pthread_self(), &Attributes) == 0)
		{
			size_t Size = 0;
			pthread_attr_getstacksize(&Attributes, &Size);
			pthread_attr_destroy(&Attributes);
			std::lock_guard<std::mutex> Guard(Lock);
			StackSize = Size;
		}
		char Name[32] = {};
		pthread_getname_np(pthread_self(), Name, sizeof(Name));
		const pid_t ThreadId = gettid();
		const int Nice = getpriority(PRIO_PROCESS, id_t(ThreadId));
		{
			std::lock_guard<std::mutex> Guard(Lock);
			SystemName = Name;
			SystemThreadId = uint32(ThreadId);
			ThreadNice = Nice;
		}
		if (bRunUntilStopped)
		{
			std::unique_lock<std::mutex> Guard(Lock);
			bStoppedByRequest = StopRequested.wait_for(Guard, 10s, [this] { return bStopRequested; });
		}
		return 0;
	}

	void Stop() override
	{
		Record("Stop");
		{
			std::lock_guard<std::mutex> Guard(Lock);
			bStopRequested = true;
		}
		StopRequested.notify_all();
	}

	void Exit() override { Record("Exit"); }

	std::vector<std::string> GetEvents() const
	{
		std::lock_guard<std::mutex> Guard(Lock);
		return Events;
	}

	/** Whether every event but Stop ran on one thread other than the test's. */
	bool RanOnOneOtherThread() const
	{
		std::lock_guard<std::mutex> Guard(Lock);
		for (size_t Index = 0; Index < Events.size(); ++Index)
		{
			if (Events[Index] != "Stop" && (EventThreads[Index] == std::this_thread::get_id() || EventThreads[Index] != EventThreads[0]))
			{
				return false;
			}
		}
		return !Events.empty();
	}

	mutable std::mutex Lock;
	size_t StackSize = 0;
	std::string SystemName;
	uint32 SystemThreadId = 0;
	int ThreadNice = 0;
	bool bStoppedByRequest = false;

private:
	void Record(const char* Event)
	{
		std::lock_guard<std::mutex> Guard(Lock);
		Events.push_back(Event);
		EventThreads.push_back(std::this_thread::get_id());
	}

	std::vector<std::string> Events;
	std::vector<std::thread::id> EventThreads;
	std::condition_variable StopRequested;
	bool bStopRequested = false;
};

using FEvents = std::vector<std::string>;

/** Puts the process's command line back however the test ends. */
class FCommandLineGuard
{
public:
	FCommandLineGuard()
	    : Saved(FCommandLine::Get())
	{
	}
	~FCommandLineGuard() { FCommandLine::Set(*Saved); }

private:
	FString Saved;
};
} // namespace

TEST(RunnableThread, RunsInitRunAndExitInOrderOnANewThread)
{
	FRecordingRunnable Runnable;
	Runnable.InitDelay = 50ms;
	std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, TEXT("RunnableThreadTest")));
	ASSERT_NE(Thread, nullptr);
	const FEvents EventsAtReturn = Runnable.GetEvents();
	ASSERT_FALSE(EventsAtReturn.empty());
	EXPECT_EQ(EventsAtReturn[0], "Init");

	Thread->WaitForCompletion();
	EXPECT_EQ(Runnable.GetEvents(), (FEvents{"Init", "Run", "Exit"}));
	EXPECT_TRUE(Runnable.RanOnOneOtherThread());
	EXPECT_EQ(Thread->GetThreadID(), Runnable.SystemThreadId);

	// A second wait on a finished thread returns at once, and so does a Kill.
	Thread->WaitForCompletion();
	EXPECT_TRUE(Thread->Kill(true));
}

TEST(RunnableThread, KeepsTheWholeNameAndGivesTheSystemItsFirst15Bytes)
{
	FRecordingRunnable Runnable;
	const TCHAR* const Name = TEXT("OrvidaLiveLinkReceiver_127.0.0.1:9001");
	std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, Name));
	ASSERT_NE(Thread, nullptr);
	Thread->WaitForCompletion();
	EXPECT_EQ(Thread->GetThreadName().GetStdString(), Name);
	// Linux refuses a longer name outright, which would leave the thread unnamed.
	EXPECT_EQ(Runnable.SystemName, "OrvidaLiveLinkR");
}

TEST(RunnableThread, HonoursTheRequestedStackSize)
{
	const struct
	{
		uint32 Requested;
		size_t AtLeast;
	} Rows[] = {
	    {128 * 1024, 128 * 1024},
	    {1024 * 1024, 1024 * 1024},
	    // Below the system's minimum: raised to it rather than refused.
	    {1, 1},
	};
	for (const auto& Row : Rows)
	{
		FRecordingRunnable Runnable;
		std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, TEXT("StackTest"), Row.Requested));
		ASSERT_NE(Thread, nullptr) << Row.Requested;
		Thread->WaitForCompletion();
		EXPECT_EQ(Runnable.GetEvents(), (FEvents{"Init", "Run", "Exit"})) << Row.Requested;
		EXPECT_GE(Runnable.StackSize, Row.AtLeast) << Row.Requested;
	}
}

TEST(RunnableThread, KeepsThePriorityAndLowersTheThreadForALowOne)
{
	FRecordingRunnable Runnable;
	std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, TEXT("LowTest"), 0, TPri_Lowest));
	ASSERT_NE(Thread, nullptr);
	Thread->WaitForCompletion();
	EXPECT_EQ(Thread->GetThreadPriority(), TPri_Lowest);
	const int ProcessNice = getpriority(PRIO_PROCESS, 0);
	if (ProcessNice < 19)
	{
		// Lowering a thread needs no privilege, so it must have happened.
		EXPECT_GT(Runnable.ThreadNice, ProcessNice);
	}
}

TEST(RunnableThread, GivesNullForNoRunnableOrWhenThreadingIsOff)
{
	EXPECT_EQ(FRunnableThread::Create(nullptr, TEXT("NullTest")), nullptr);

	const FCommandLineGuard RestoreCommandLine;
	const struct
	{
		const TCHAR* CommandLine;
		bool bThreads;
	} Rows[] = {
	    {TEXT("-nothreading"), false},       {TEXT("Project.uproject -NoThreading -log"), false},
	    {TEXT("-log\t-nothreading"), false}, {TEXT("-nothreadingx"), true},
	    {TEXT("x-nothreading"), true},       {TEXT(""), true},
	};
	for (const auto& Row : Rows)
	{
		FCommandLine::Set(Row.CommandLine);
		FRecordingRunnable Runnable;
		std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, TEXT("NoThreadingTest")));
		EXPECT_EQ(Thread != nullptr, Row.bThreads) << TCHAR_TO_UTF8(Row.CommandLine);
		if (Thread == nullptr)
		{
			// Nothing of the runnable may run when no thread was made.
			EXPECT_TRUE(Runnable.GetEvents().empty());
		}
	}
}

TEST(RunnableThread, FailedInitSkipsRunButStillExits)
{
	FRecordingRunnable Runnable;
	Runnable.bInitResult = false;
	std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, TEXT("InitFailTest")));
	ASSERT_NE(Thread, nullptr);
	Thread->WaitForCompletion();
	EXPECT_EQ(Runnable.GetEvents(), (FEvents{"Init", "Exit"}));
}

TEST(RunnableThread, KillStopsTheRunnableAndWaitsForIt)
{
	FRecordingRunnable Runnable;
	Runnable.bRunUntilStopped = true;
	std::unique_ptr<FRunnableThread> Thread(FRunnableThread::Create(&Runnable, TEXT("KillTest")));
	ASSERT_NE(Thread, nullptr);
	EXPECT_TRUE(Thread->Kill(true));
	const FEvents Events = Runnable.GetEvents();
	ASSERT_FALSE(Events.empty());
	EXPECT_EQ(Events.back(), "Exit");
	std::lock_guard<std::mutex> Guard(Runnable.Lock);
	EXPECT_TRUE(Runnable.bStoppedByRequest);
}

TEST(RunnableThread, DeletingARunningThreadStopsAndWaitsForIt)
{
	FRecordingRunnable Runnable;
	Runnable.bRunUntilStopped = true;
	FRunnableThread* Thread = FRunnableThread::Create(&Runnable, TEXT("DeleteTest"));
	ASSERT_NE(Thread, nullptr);
	delete Thread;
	const FEvents Events = Runnable.GetEvents();
	ASSERT_FALSE(Events.empty());
	EXPECT_EQ(Events.back(), "Exit");
	std::lock_guard<std::mutex> Guard(Runnable.Lock);
	EXPECT_TRUE(Runnable.bStoppedByRequest);
}
