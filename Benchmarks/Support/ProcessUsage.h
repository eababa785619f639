#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <sys/types.h>

/** What /proc says of one process: the CPU time of all its threads and its resident memory. */
struct FProcessUsage
{
	/** utime + stime, in the clock ticks of /proc/PID/stat (10 ms as a rule). */
	double CpuSeconds = 0.0;
	/** The nanoseconds on a CPU of each thread now running (/proc/PID/task/N/schedstat), summed; 0 where the kernel keeps none. */
	double ThreadCpuSeconds = 0.0;
	/** VmHWM, the peak resident set, and VmRSS, the resident set now. */
	int64_t PeakResidentKiB = 0;
	int64_t ResidentKiB = 0;
};

/** Reads /proc/Pid/stat and /proc/Pid/status; nullopt when the process is gone or a file does not read as expected. */
std::optional<FProcessUsage> ReadProcessUsage(pid_t Pid);

/** utime + stime in clock ticks from the text of a /proc/PID/stat; nullopt when the text has too few fields. */
std::optional<int64_t> ParseStatCpuTicks(std::string_view StatText);

/** The value of one "Name:  N kB" line of a /proc/PID/status text; nullopt when the field is missing. */
std::optional<int64_t> ParseStatusKiB(std::string_view StatusText, std::string_view Field);

/** A process's CPU time over a window as a percentage of one core, from both of FProcessUsage's readings. */
struct FCpuShare
{
	/** From the threads' nanoseconds: the figure to compare, unless a thread ended in the window (its time is lost). */
	double Percent = 0.0;
	/** From utime + stime: a tenth of a point coarse over 10 s, but it keeps the time of threads that ended. */
	double TickPercent = 0.0;
};

/** The process's CPU time over the next Window; nullopt when it is gone by the end. */
std::optional<FCpuShare> MeasureCpuShare(pid_t Pid, std::chrono::milliseconds Window);
