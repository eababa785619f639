// Real file systems for tests of what happens when a disk fills up or turns read-only: a fresh directory, and a
// 64 KiB tmpfs mounted on one for as long as the test runs.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <sys/mount.h>

/** A fresh directory under /tmp, removed with everything in it when the test ends. */
class FTemporaryDirectory
{
public:
	FTemporaryDirectory()
	{
		char Template[] = "/tmp/OrvidaTestXXXXXX";
		const char* Made = ::mkdtemp(Template);
		EXPECT_NE(Made, nullptr);
		Path = Made ? Made : "";
	}
	~FTemporaryDirectory()
	{
		std::error_code Ignored;
		std::filesystem::remove_all(Path, Ignored);
	}
	FTemporaryDirectory(const FTemporaryDirectory&) = delete;
	FTemporaryDirectory& operator=(const FTemporaryDirectory&) = delete;

	std::string Path;
};

/**
 * A 64 KiB tmpfs on a fresh directory, unmounted when the test ends however it ends; empty Path, with the system's
 * reason in Refusal, when this machine does not let the test mount one (mounting needs root).
 */
class FSmallTmpfs
{
public:
	explicit FSmallTmpfs(unsigned long Flags = 0)
	{
		if (::mount("tmpfs", Directory.Path.c_str(), "tmpfs", Flags, "size=64k") == 0)
		{
			Path = Directory.Path;
		}
		else
		{
			Refusal = std::strerror(errno);
		}
	}
	~FSmallTmpfs()
	{
		if (!Path.empty())
		{
			// Detached, so that a file a failed test left open does not keep the mount.
			::umount2(Path.c_str(), MNT_DETACH);
		}
	}
	FSmallTmpfs(const FSmallTmpfs&) = delete;
	FSmallTmpfs& operator=(const FSmallTmpfs&) = delete;

	FTemporaryDirectory Directory;
	std::string Path;
	std::string Refusal;
};
