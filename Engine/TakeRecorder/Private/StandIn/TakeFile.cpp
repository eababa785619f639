#include "TakeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

FTakeFile::~FTakeFile()
{
	if (IsOpen())
	{
		::close(FileDescriptor);
	}
}

bool FTakeFile::Open(const std::string& InDirectory, const std::string& BaseName, FError& OutError)
{
	if (IsOpen())
	{
		OutError = {Path, "the take file '" + Path + "' is already open"};
		return false;
	}
	std::error_code Error;
	std::filesystem::create_directories(InDirectory, Error);
	if (Error || !std::filesystem::is_directory(InDirectory, Error))
	{
		OutError = {InDirectory, "cannot make the directory '" + InDirectory + "': " + (Error ? Error.message() : std::string("it is not a directory"))};
		return false;
	}
	for (int32 Suffix = 1; Suffix <= MaxNameSuffix; ++Suffix)
	{
		const std::string Name = Suffix == 1 ? BaseName + ".csv" : BaseName + "_" + std::to_string(Suffix) + ".csv";
		const std::string Candidate = (std::filesystem::path(InDirectory) / Name).string();
		// O_EXCL makes taking the name and creating the file one step, so no other writer can slip in between.
		const int Descriptor = ::open(Candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
		if (Descriptor >= 0)
		{
			FileDescriptor = Descriptor;
			Directory = InDirectory;
			Path = Candidate;
			Size = 0;
			return true;
		}
		if (errno != EEXIST)
		{
			return Fail("create", Candidate, OutError);
		}
	}
	OutError = {InDirectory, "every name from '" + BaseName + ".csv' to suffix " + std::to_string(MaxNameSuffix) + " is taken in '" + InDirectory + "'"};
	return false;
}

bool FTakeFile::WriteRow(const std::string& Row, FError& OutError)
{
	if (!IsOpen())
	{
		OutError = {Path, "the take file is not open"};
		return false;
	}
	size_t Written = 0;
	while (Written < Row.size())
	{
		const ssize_t Result = ::write(FileDescriptor, Row.data() + Written, Row.size() - Written);
		if (Result < 0 && errno == EINTR)
		{
			continue;
		}
		if (Result <= 0)
		{
			if (Result == 0)
			{
				OutError = {Path, "cannot write '" + Path + "': nothing was written"};
			}
			else
			{
				Fail("write", Path, OutError);
			}
			if (Written > 0 && ::ftruncate(FileDescriptor, off_t(Size)) != 0)
			{
				OutError.Message += " (and the partial row could not be cut off)";
			}
			return false;
		}
		Written += size_t(Result);
	}
	Size += int64(Written);
	return true;
}

bool FTakeFile::Close(FError& OutError)
{
	if (!IsOpen())
	{
		return true;
	}
	bool bOnDisk = ::fsync(FileDescriptor) == 0 || Fail("flush", Path, OutError);
	// Linux releases the descriptor whatever close returns, so a failed close is reported, never retried.
	if (::close(FileDescriptor) != 0 && bOnDisk)
	{
		bOnDisk = Fail("close", Path, OutError);
	}
	FileDescriptor = -1;
	if (!bOnDisk)
	{
		return false;
	}
	// A new file's name is on disk only once its directory is.
	const int DirectoryDescriptor = ::open(Directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (DirectoryDescriptor < 0)
	{
		return Fail("open the directory", Directory, OutError);
	}
	bOnDisk = ::fsync(DirectoryDescriptor) == 0 || Fail("flush the directory", Directory, OutError);
	::close(DirectoryDescriptor);
	return bOnDisk;
}

bool FTakeFile::Fail(const std::string& What, const std::string& ErrorPath, FError& OutError)
{
	OutError = {ErrorPath, "cannot " + What + " '" + ErrorPath + "': " + std::strerror(errno)};
	return false;
}
