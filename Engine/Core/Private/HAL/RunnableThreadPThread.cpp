#include "HAL/RunnableThread.h"

#include "Containers/StringConv.h"
#include "HAL/PlatformProcess.h"
#include "HAL/Runnable.h"

#include <cerrno>
#include <condition_variable>
#include <limits.h>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
// Offsets from the process's nice value; raising priority needs privileges, and is skipped without them.
int NiceOffsetFor(EThreadPriority Priority)
{
	switch (Priority)
	{
	case TPri_TimeCritical:
		return -10;
	case TPri_Highest:
		return -5;
	case TPri_AboveNormal:
		return -2;
	case TPri_SlightlyBelowNormal:
		return 1;
	case TPri_BelowNormal:
		return 3;
	case TPri_Lowest:
		return 5;
	default:
		return 0;
	}
}

/**
 * A runnable thread over POSIX threads.
 *
 * Threads: the creating thread runs CreateInternal and waits there until the new thread has run Init; the
 * owning thread runs WaitForCompletion, Kill and the destructor; the new thread runs Entry.
 */
class FRunnableThreadPThread final : public FRunnableThread
{
public:
	~FRunnableThreadPThread() override
	{
		if (bStarted && !bJoined)
		{
			Kill(true);
		}
	}

	bool CreateInternal(FRunnable* InRunnable, const TCHAR* InThreadName, uint32 InStackSize, EThreadPriority InThreadPri, uint64 InThreadAffinityMask)
	{
		Runnable = InRunnable;
		ThreadName = FString(InThreadName);
		ThreadPriority = InThreadPri;
		ThreadAffinityMask = InThreadAffinityMask;

		pthread_attr_t Attributes;
		if (pthread_attr_init(&Attributes) != 0)
		{
			return false;
		}
		bool bConfigured = true;
		if (InStackSize != 0)
		{
			const size_t StackSize = InStackSize < size_t(PTHREAD_STACK_MIN) ? size_t(PTHREAD_STACK_MIN) : size_t(InStackSize);
			bConfigured = pthread_attr_setstacksize(&Attributes, StackSize) == 0;
		}
		cpu_set_t CpuSet;
		if (bConfigured && MakeCpuSet(InThreadAffinityMask, CpuSet))
		{
			bConfigured = pthread_attr_setaffinity_np(&Attributes, sizeof(CpuSet), &CpuSet) == 0;
		}
		bStarted = bConfigured && pthread_create(&Thread, &Attributes, &FRunnableThreadPThread::Entry, this) == 0;
		pthread_attr_destroy(&Attributes);
		if (!bStarted)
		{
			return false;
		}

		std::unique_lock<std::mutex> Guard(InitLock);
		InitDone.wait(Guard, [this] { return bInitFinished; });
		return true;
	}

	void WaitForCompletion() override
	{
		if (bStarted && !bJoined)
		{
			pthread_join(Thread, nullptr);
			bJoined = true;
		}
	}

	bool Kill(bool bShouldWait) override
	{
		if (Runnable != nullptr)
		{
			Runnable->Stop();
		}
		if (bShouldWait)
		{
			WaitForCompletion();
		}
		return true;
	}

private:
	// An affinity that covers every online processor is no restriction and is not applied.
	static bool MakeCpuSet(uint64 Mask, cpu_set_t& OutSet)
	{
		const long Online = sysconf(_SC_NPROCESSORS_ONLN);
		CPU_ZERO(&OutSet);
		bool bRestricts = false;
		for (long Cpu = 0; Cpu < Online && Cpu < 64; ++Cpu)
		{
			if ((Mask >> Cpu) & 1u)
			{
				CPU_SET(Cpu, &OutSet);
			}
			else
			{
				bRestricts = true;
			}
		}
		return bRestricts && CPU_COUNT(&OutSet) > 0;
	}

	static void* Entry(void* Argument)
	{
		FRunnableThreadPThread* Self = static_cast<FRunnableThreadPThread*>(Argument);
		Self->Main();
		return nullptr;
	}

	void Main()
	{
		const pid_t SystemId = pid_t(syscall(SYS_gettid));
		// Linux keeps 15 bytes of a thread's name; the full name stays in ThreadName.
		char ShortName[16] = {};
		const FTCHARToUTF8 Utf8Name(*ThreadName);
		for (int32 Index = 0; Index < 15 && Index < Utf8Name.Length(); ++Index)
		{
			ShortName[Index] = Utf8Name.Get()[Index];
		}
		pthread_setname_np(pthread_self(), ShortName);
		const int Offset = NiceOffsetFor(ThreadPriority);
		if (Offset != 0)
		{
			errno = 0;
			const int ProcessNice = getpriority(PRIO_PROCESS, 0);
			if (errno == 0)
			{
				setpriority(PRIO_PROCESS, SystemId, ProcessNice + Offset);
			}
		}

		const bool bInitialised = Runnable->Init();
		{
			std::lock_guard<std::mutex> Guard(InitLock);
			ThreadID = uint32(SystemId);
			bInitFinished = true;
		}
		InitDone.notify_one();
		if (bInitialised)
		{
			Runnable->Run();
		}
		Runnable->Exit();
	}

	pthread_t Thread{};
	bool bStarted = false;
	bool bJoined = false;
	/** Protects bInitFinished and ThreadID while the new thread starts. */
	std::mutex InitLock;
	std::condition_variable InitDone;
	bool bInitFinished = false;
};
} // namespace

FRunnableThread* FRunnableThread::Create(FRunnable* InRunnable, const TCHAR* ThreadName, uint32 InStackSize, EThreadPriority InThreadPri,
                                         uint64 InThreadAffinityMask, EThreadCreateFlags)
{
	if (InRunnable == nullptr || !FPlatformProcess::SupportsMultithreading())
	{
		return nullptr;
	}
	FRunnableThreadPThread* NewThread = new FRunnableThreadPThread();
	if (!NewThread->CreateInternal(InRunnable, ThreadName, InStackSize, InThreadPri, InThreadAffinityMask))
	{
		delete NewThread;
		return nullptr;
	}
	return NewThread;
}
