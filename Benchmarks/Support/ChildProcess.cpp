#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

FChildProcess::FChildProcess(const std::vector<std::string>& Arguments)
{
	if (Arguments.empty())
	{
		throw std::runtime_error("no program to start");
	}
	// Built before the fork: the child may only make async-signal-safe calls until it execs.
	std::vector<char*> Argv;
	for (const std::string& Argument : Arguments)
	{
		Argv.push_back(const_cast<char*>(Argument.c_str()));
	}
	Argv.push_back(nullptr);
	int Pipe[2];
	if (pipe2(Pipe, O_CLOEXEC) != 0)
	{
		throw std::runtime_error("pipe failed");
	}
	const pid_t Parent = getpid();
	Pid = fork();
	if (Pid < 0)
	{
		close(Pipe[0]);
		close(Pipe[1]);
		throw std::runtime_error("fork failed");
	}
	if (Pid == 0)
	{
		prctl(PR_SET_PDEATHSIG, SIGKILL);
		if (getppid() != Parent)
		{
			_exit(127);
		}
		const int Null = open("/dev/null", O_WRONLY);
		dup2(Pipe[1], STDOUT_FILENO);
		dup2(Null, STDERR_FILENO);
		execv(Argv[0], Argv.data());
		_exit(127);
	}
	close(Pipe[1]);
	OutputFd = Pipe[0];
}

FChildProcess::~FChildProcess()
{
	Stop();
	close(OutputFd);
}

std::optional<std::string> FChildProcess::ReadLine(std::chrono::steady_clock::time_point Deadline)
{
	for (;;)
	{
		const size_t End = Pending.find('\n');
		if (End != std::string::npos)
		{
			std::string Line = Pending.substr(0, End);
			Pending.erase(0, End + 1);
			return Line;
		}
		const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
		if (bOutputEnded || Left.count() <= 0)
		{
			return std::nullopt;
		}
		pollfd Wait{OutputFd, POLLIN, 0};
		if (poll(&Wait, 1, int(Left.count())) <= 0)
		{
			continue;
		}
		char Buffer[4096];
		const ssize_t Read = read(OutputFd, Buffer, sizeof(Buffer));
		if (Read > 0)
		{
			Pending.append(Buffer, size_t(Read));
		}
		else if (Read == 0 || errno != EINTR)
		{
			bOutputEnded = true;
		}
	}
}

bool FChildProcess::WaitForExit(std::chrono::steady_clock::time_point Deadline)
{
	while (!bExited)
	{
		int Status = 0;
		const pid_t Reaped = waitpid(Pid, &Status, WNOHANG);
		if (Reaped == Pid || (Reaped < 0 && errno == ECHILD))
		{
			bExited = true;
		}
		else if (std::chrono::steady_clock::now() >= Deadline)
		{
			return false;
		}
		else
		{
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
		}
	}
	return true;
}

void FChildProcess::Stop(std::chrono::milliseconds Bound)
{
	if (bExited || WaitForExit(std::chrono::steady_clock::now()))
	{
		return;
	}
	kill(Pid, SIGINT);
	if (!WaitForExit(std::chrono::steady_clock::now() + Bound))
	{
		kill(Pid, SIGKILL);
		WaitForExit(std::chrono::steady_clock::time_point::max());
	}
}
