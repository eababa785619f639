#include "Async/Async.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

TEST(AsyncThreadIndex, GetNextGivesDistinctIncreasingValuesAcrossThreads)
{
	constexpr int32 ThreadCount = 4;
	constexpr int32 PerThread = 2000;
	std::vector<std::vector<int32>> Taken(ThreadCount);
	std::vector<std::thread> Threads;
	for (int32 ThreadIndex = 0; ThreadIndex < ThreadCount; ++ThreadIndex)
	{
		Threads.emplace_back(
		    [&Taken, ThreadIndex]
		    {
			    for (int32 Count = 0; Count < PerThread; ++Count)
			    {
				    Taken[ThreadIndex].push_back(FAsyncThreadIndex::GetNext());
			    }
		    });
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}

	std::vector<int32> All;
	for (const std::vector<int32>& Values : Taken)
	{
		// Strictly increasing within each thread.
		EXPECT_EQ(std::adjacent_find(Values.begin(), Values.end(), std::greater_equal<int32>()), Values.end());
		All.insert(All.end(), Values.begin(), Values.end());
	}
	std::sort(All.begin(), All.end());
	EXPECT_EQ(std::adjacent_find(All.begin(), All.end()), All.end());
	EXPECT_GE(All.front(), 0);
	// Every value handed out in the run is accounted for: none skipped, none repeated.
	EXPECT_EQ(All.back() - All.front(), ThreadCount * PerThread - 1);
}
