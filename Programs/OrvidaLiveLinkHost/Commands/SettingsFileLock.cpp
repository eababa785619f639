#include "Commands/SettingsFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

std::filesystem::path FHostSettingsFileLock::SettingsFileOf(const std::filesystem::path& ProjectDir)
{
	return (ProjectDir.empty() ? std::filesystem::path(".") : ProjectDir) / "Config" / "DefaultGame.ini";
}

FHostSettingsFileLock::FHostSettingsFileLock(const std::filesystem::path& IniPath)
{
	const std::filesystem::path Path = IniPath.string() + ".lock";
	std::error_code FolderError;
	std::filesystem::create_directories(IniPath.parent_path(), FolderError);
	const int File = ::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
	if (File < 0)
	{
		Error = "cannot open " + Path.string() + ": " + std::strerror(errno);
		return;
	}
	// Polled rather than blocking, so that a process that hangs while holding it cannot hang this one for good.
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(WaitSeconds);
	while (::flock(File, LOCK_EX | LOCK_NB) != 0)
	{
		if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= Deadline)
		{
			Error = errno == EWOULDBLOCK ? "another orvida-livelink held " + Path.string() + " for over 10 s"
			                             : "cannot lock " + Path.string() + ": " + std::strerror(errno);
			::close(File);
			return;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	Descriptor = File;
}

FHostSettingsFileLock::~FHostSettingsFileLock()
{
	if (Descriptor >= 0)
	{
		::close(Descriptor);
	}
}
