#pragma once

#include <filesystem>
#include <string>

/**
 * Holds the advisory lock that every orvida-livelink takes on a project's settings while it reads, changes and
 * saves them, so that two commands at once cannot each save what they read before the other's change (one
 * change would be lost). The lock is an flock on DefaultGame.ini.lock beside the ini: the ini itself is replaced
 * by each save, so a lock on it would not outlive the save.
 *
 * Threads: one object on one thread; released when it is destroyed.
 */
class FHostSettingsFileLock
{
public:
	/** How long to wait for another process to finish with the settings; a save takes milliseconds. */
	static constexpr int WaitSeconds = 10;

	/** The settings file of a project folder (empty: the current folder). */
	static std::filesystem::path SettingsFileOf(const std::filesystem::path& ProjectDir);

	/** Takes the lock for the ini at IniPath, making its folder when missing; waits up to WaitSeconds. */
	explicit FHostSettingsFileLock(const std::filesystem::path& IniPath);
	~FHostSettingsFileLock();
	FHostSettingsFileLock(const FHostSettingsFileLock&) = delete;
	FHostSettingsFileLock& operator=(const FHostSettingsFileLock&) = delete;

	/** Whether the lock is held; when not, GetError says why (the lock file cannot be made, or another process held it too long). */
	bool IsHeld() const { return Descriptor >= 0; }
	const std::string& GetError() const { return Error; }

private:
	int Descriptor = -1;
	std::string Error;
};
