#include "ProcessUsage.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace
{
std::optional<std::string> ReadWholeFile(const std::string& Path)
{
	std::ifstream File(Path);
	if (!File)
	{
		return std::nullopt;
	}
	std::ostringstream Text;
	Text << File.rdbuf();
	return Text.str();
}

std::optional<int64_t> ParseNumber(std::string_view Text)
{
	int64_t Value = 0;
	const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
	return Error == std::errc() && End != Text.data() ? std::optional<int64_t>(Value) : std::nullopt;
}

/** The first field of each /proc/Pid/task/N/schedstat, summed; 0 when none reads. */
double ReadThreadCpuSeconds(pid_t Pid)
{
	int64_t Nanoseconds = 0;
	std::error_code Error;
	for (const auto& Task : std::filesystem::directory_iterator("/proc/" + std::to_string(Pid) + "/task", Error))
	{
		if (const std::optional<std::string> Text = ReadWholeFile((Task.path() / "schedstat").string()))
		{
			Nanoseconds += ParseNumber(*Text).value_or(0);
		}
	}
	return double(Nanoseconds) * 1e-9;
}
} // namespace

std::optional<int64_t> ParseStatCpuTicks(std::string_view StatText)
{
	// The command name in parentheses may hold spaces and parentheses of its own; the fields start after the last ')'.
	const size_t NameEnd = StatText.rfind(')');
	if (NameEnd == std::string_view::npos)
	{
		return std::nullopt;
	}
	std::istringstream Fields{std::string(StatText.substr(NameEnd + 1))};
	std::string Field;
	// Fields 3 (state) to 13 come before utime (14) and stime (15).
	for (int Index = 3; Index <= 13; ++Index)
	{
		if (!(Fields >> Field))
		{
			return std::nullopt;
		}
	}
	std::string User, System;
	if (!(Fields >> User >> System))
	{
		return std::nullopt;
	}
	const std::optional<int64_t> UserTicks = ParseNumber(User);
	const std::optional<int64_t> SystemTicks = ParseNumber(System);
	if (!UserTicks || !SystemTicks)
	{
		return std::nullopt;
	}
	return *UserTicks + *SystemTicks;
}

std::optional<int64_t> ParseStatusKiB(std::string_view StatusText, std::string_view Field)
{
	size_t LineStart = 0;
	while (LineStart < StatusText.size())
	{
		const size_t LineEnd = std::min(StatusText.find('\n', LineStart), StatusText.size());
		const std::string_view Line = StatusText.substr(LineStart, LineEnd - LineStart);
		if (Line.size() > Field.size() && Line.substr(0, Field.size()) == Field && Line[Field.size()] == ':')
		{
			std::string_view Value = Line.substr(Field.size() + 1);
			Value.remove_prefix(std::min(Value.find_first_not_of(" \t"), Value.size()));
			return ParseNumber(Value);
		}
		LineStart = LineEnd + 1;
	}
	return std::nullopt;
}

std::optional<FProcessUsage> ReadProcessUsage(pid_t Pid)
{
	const std::string Folder = "/proc/" + std::to_string(Pid);
	const std::optional<std::string> Stat = ReadWholeFile(Folder + "/stat");
	const std::optional<std::string> Status = ReadWholeFile(Folder + "/status");
	if (!Stat || !Status)
	{
		return std::nullopt;
	}
	const std::optional<int64_t> Ticks = ParseStatCpuTicks(*Stat);
	const std::optional<int64_t> Peak = ParseStatusKiB(*Status, "VmHWM");
	const std::optional<int64_t> Resident = ParseStatusKiB(*Status, "VmRSS");
	if (!Ticks || !Peak || !Resident)
	{
		return std::nullopt;
	}
	return FProcessUsage{double(*Ticks) / double(sysconf(_SC_CLK_TCK)), ReadThreadCpuSeconds(Pid), *Peak, *Resident};
}

std::optional<FCpuShare> MeasureCpuShare(pid_t Pid, std::chrono::milliseconds Window)
{
	const std::optional<FProcessUsage> Before = ReadProcessUsage(Pid);
	const auto Start = std::chrono::steady_clock::now();
	std::this_thread::sleep_for(Window);
	const std::optional<FProcessUsage> After = ReadProcessUsage(Pid);
	const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
	if (!Before || !After)
	{
		return std::nullopt;
	}
	return FCpuShare{100.0 * (After->ThreadCpuSeconds - Before->ThreadCpuSeconds) / Seconds, 100.0 * (After->CpuSeconds - Before->CpuSeconds) / Seconds};
}
