#include "CoreMinimal.h"
#include "LogCapture.h"
#include "Misc/OutputDeviceRedirector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

DEFINE_LOG_CATEGORY_STATIC(LogOrvidaLogTest, Log, All)
// Lines above Warning are compiled out of this one.
DEFINE_LOG_CATEGORY_STATIC(LogOrvidaCappedTest, Log, Warning)

namespace
{
std::vector<FLogCapture::FLine> LinesIn(const FLogCapture& Capture, const std::string& Category)
{
	std::vector<FLogCapture::FLine> Lines;
	for (const FLogCapture::FLine& Line : Capture.GetLines())
	{
		if (Line.Category == Category)
		{
			Lines.push_back(Line);
		}
	}
	return Lines;
}

std::vector<ELogVerbosity::Type> VerbositiesIn(const FLogCapture& Capture, const std::string& Category)
{
	std::vector<ELogVerbosity::Type> Verbosities;
	for (const FLogCapture::FLine& Line : LinesIn(Capture, Category))
	{
		Verbosities.push_back(Line.Verbosity);
	}
	return Verbosities;
}

/** Puts a category's verbosity back however the test ends. */
class FVerbosityGuard
{
public:
	explicit FVerbosityGuard(FLogCategoryBase& InCategory)
	    : Category(InCategory)
	    , Saved(InCategory.GetVerbosity())
	{
	}
	~FVerbosityGuard() { Category.SetVerbosity(Saved); }

private:
	FLogCategoryBase& Category;
	ELogVerbosity::Type Saved;
};

/** Counts calls that overlap another call; keeps the lines of one category. */
class FOverlapDetector final : public FOutputDevice
{
public:
	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override
	{
		if (Inside.fetch_add(1) != 0)
		{
			++Overlaps;
		}
		if (Category == FName(TEXT("LogOrvidaLogTest")))
		{
			std::string Line = TCHAR_TO_UTF8(Text);
			std::lock_guard<std::mutex> Guard(Lock);
			Lines.push_back(std::move(Line));
		}
		Inside.fetch_sub(1);
	}

	std::atomic<int32> Inside{0};
	std::atomic<int32> Overlaps{0};
	std::mutex Lock;
	std::vector<std::string> Lines;
};
} // namespace

TEST(Log, LineReachesOutputDevicesWithCategoryVerbosityAndFormattedText)
{
	const FLogCapture Capture;
	UE_LOG(LogOrvidaLogTest, Warning, TEXT("Subject %s frame %d at %.1f fps"), TEXT("Cam\u00e9ra"), 42, 29.97);
	const std::vector<FLogCapture::FLine> Lines = LinesIn(Capture, "LogOrvidaLogTest");
	ASSERT_EQ(Lines.size(), 1u);
	EXPECT_EQ(Lines[0].Verbosity, ELogVerbosity::Warning);
	EXPECT_EQ(Lines[0].Text, "Subject Cam\xC3\xA9ra frame 42 at 30.0 fps");
}

TEST(Log, CategoryVerbositySuppressesMoreVerboseLines)
{
	const FVerbosityGuard Restore(LogOrvidaLogTest);
	const FLogCapture Capture;

	// The default verbosity, Log, drops Verbose lines.
	UE_LOG(LogOrvidaLogTest, Log, TEXT("kept"));
	UE_LOG(LogOrvidaLogTest, Verbose, TEXT("dropped"));

	LogOrvidaLogTest.SetVerbosity(ELogVerbosity::Warning);
	UE_LOG(LogOrvidaLogTest, Error, TEXT("kept"));
	UE_LOG(LogOrvidaLogTest, Warning, TEXT("kept"));
	UE_LOG(LogOrvidaLogTest, Display, TEXT("dropped"));
	UE_LOG(LogOrvidaLogTest, Log, TEXT("dropped"));

	LogOrvidaLogTest.SetVerbosity(ELogVerbosity::VeryVerbose);
	UE_LOG(LogOrvidaLogTest, VeryVerbose, TEXT("kept"));

	EXPECT_EQ(VerbositiesIn(Capture, "LogOrvidaLogTest"),
	          (std::vector<ELogVerbosity::Type>{ELogVerbosity::Log, ELogVerbosity::Error, ELogVerbosity::Warning, ELogVerbosity::VeryVerbose}));
}

TEST(Log, VerbosityNeverExceedsTheCompileTimeVerbosity)
{
	const FVerbosityGuard Restore(LogOrvidaCappedTest);
	// The default, Log, is already above the cap.
	EXPECT_EQ(LogOrvidaCappedTest.GetVerbosity(), ELogVerbosity::Warning);
	LogOrvidaCappedTest.SetVerbosity(ELogVerbosity::VeryVerbose);
	EXPECT_EQ(LogOrvidaCappedTest.GetVerbosity(), ELogVerbosity::Warning);
	LogOrvidaCappedTest.SetVerbosity(ELogVerbosity::Error);
	EXPECT_EQ(LogOrvidaCappedTest.GetVerbosity(), ELogVerbosity::Error);

	LogOrvidaCappedTest.SetVerbosity(ELogVerbosity::All);
	const FLogCapture Capture;
	UE_LOG(LogOrvidaCappedTest, Warning, TEXT("kept"));
	UE_LOG(LogOrvidaCappedTest, Display, TEXT("dropped"));
	EXPECT_EQ(VerbositiesIn(Capture, "LogOrvidaCappedTest"), (std::vector<ELogVerbosity::Type>{ELogVerbosity::Warning}));
}

TEST(Log, LinesFromManyThreadsArriveWholeAndOneAtATime)
{
	constexpr int32 ThreadCount = 4;
	constexpr int32 LinesPerThread = 100;
	const std::string Padding(120, 'x');
	FOverlapDetector Detector;
	GLog->AddOutputDevice(&Detector);
	std::vector<std::thread> Threads;
	for (int32 ThreadIndex = 0; ThreadIndex < ThreadCount; ++ThreadIndex)
	{
		Threads.emplace_back(
		    [ThreadIndex, &Padding]
		    {
			    for (int32 LineIndex = 0; LineIndex < LinesPerThread; ++LineIndex)
			    {
				    UE_LOG(LogOrvidaLogTest, Log, TEXT("thread %d line %d %s end"), ThreadIndex, LineIndex, Padding.c_str());
			    }
		    });
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	GLog->RemoveOutputDevice(&Detector);

	EXPECT_EQ(Detector.Overlaps.load(), 0);
	std::vector<std::string> Expected;
	for (int32 ThreadIndex = 0; ThreadIndex < ThreadCount; ++ThreadIndex)
	{
		for (int32 LineIndex = 0; LineIndex < LinesPerThread; ++LineIndex)
		{
			Expected.push_back("thread " + std::to_string(ThreadIndex) + " line " + std::to_string(LineIndex) + " " + Padding + " end");
		}
	}
	std::vector<std::string> Received = Detector.Lines;
	std::sort(Received.begin(), Received.end());
	std::sort(Expected.begin(), Expected.end());
	EXPECT_EQ(Received, Expected);
}

TEST(LogDeathTest, FatalLineStopsTheProcess)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_DEATH(UE_LOG(LogOrvidaLogTest, Fatal, TEXT("cannot continue: %d"), 7), "cannot continue: 7");
}
