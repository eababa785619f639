#include "HostUnderTest.h"

#include "SiblingProgram.h"

#include <cstdlib>
#include <regex>
#include <stdexcept>

namespace
{
std::filesystem::path MakeProjectDir()
{
	std::string Template = (std::filesystem::temp_directory_path() / "orvida-bench-XXXXXX").string();
	if (!mkdtemp(Template.data()))
	{
		throw std::runtime_error("cannot make a project folder under " + std::filesystem::temp_directory_path().string());
	}
	return Template;
}

std::vector<std::string> HostArguments(const std::string& Program, const std::filesystem::path& ProjectDir, int32_t SourceCount, double TickRate)
{
	std::vector<std::string> Arguments{Program, "--project", ProjectDir.string(), "--console", "--tick-rate", std::to_string(TickRate)};
	for (int32_t Index = 0; Index < SourceCount; ++Index)
	{
		Arguments.insert(Arguments.end(), {"--source", "127.0.0.1:0"});
	}
	return Arguments;
}
} // namespace

FHostUnderTest::FHostUnderTest(int32_t SourceCount, double TickRate)
    : Program(FindSiblingProgram("orvida-livelink"))
    , ProjectDir(MakeProjectDir())
    , Process(HostArguments(Program, ProjectDir, SourceCount, TickRate))
{
	static const std::regex StartUp(R"(, listening on (\d+\.\d+\.\d+\.\d+:\d+): )");
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
	while (int32_t(Endpoints.size()) < SourceCount)
	{
		const std::optional<std::string> Line = Process.ReadLine(Deadline);
		if (!Line)
		{
			Process.Stop();
			std::filesystem::remove_all(ProjectDir);
			throw std::runtime_error("the host announced " + std::to_string(Endpoints.size()) + " of its " + std::to_string(SourceCount) + " sources");
		}
		std::smatch Parts;
		if (std::regex_search(*Line, Parts, StartUp))
		{
			Endpoints.push_back(Parts[1]);
		}
	}
	Reader = std::thread([this] { ReadConsole(); });
}

FHostUnderTest::~FHostUnderTest()
{
	bStopping = true;
	Process.Stop();
	Reader.join();
	std::error_code Ignored;
	std::filesystem::remove_all(ProjectDir, Ignored);
}

void FHostUnderTest::ReadConsole()
{
	while (!bStopping)
	{
		const std::optional<std::string> Line = Process.ReadLine(std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
		const std::optional<FHostConsoleReading> Reading = Line ? ParseHostConsoleLine(*Line) : std::nullopt;
		if (Reading)
		{
			std::lock_guard<std::mutex> Guard(ReadingsLock);
			auto& [LatestReading, Lines] = Latest[Reading->Endpoint];
			LatestReading = *Reading;
			++Lines;
			ReadingsChanged.notify_all();
		}
	}
}

std::optional<std::vector<FHostConsoleReading>> FHostUnderTest::WaitForReadings(const FReadingsCheck& Check, std::chrono::steady_clock::time_point Deadline,
                                                                                std::vector<FHostConsoleReading>& OutLast)
{
	std::unique_lock<std::mutex> Guard(ReadingsLock);
	std::map<std::string, int64_t> LinesAtStart;
	for (const auto& [Endpoint, Entry] : Latest)
	{
		LinesAtStart[Endpoint] = Entry.second;
	}
	for (;;)
	{
		OutLast.clear();
		bool bAllFresh = true;
		for (const std::string& Endpoint : Endpoints)
		{
			const auto Found = Latest.find(Endpoint);
			if (Found == Latest.end())
			{
				bAllFresh = false;
				continue;
			}
			OutLast.push_back(Found->second.first);
			bAllFresh = bAllFresh && Found->second.second > LinesAtStart[Endpoint];
		}
		if (bAllFresh && Check(OutLast))
		{
			return OutLast;
		}
		if (ReadingsChanged.wait_until(Guard, Deadline) == std::cv_status::timeout)
		{
			return std::nullopt;
		}
	}
}
