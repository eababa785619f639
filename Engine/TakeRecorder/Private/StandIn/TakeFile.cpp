#include "TakeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

bool FTakeFile::Open(const std::string& Directory, const std::string& BaseName, std::string& OutError)
{
	Close();
	std::error_code Error;
	std::filesystem::create_directories(Directory, Error);
	if (Error || !std::filesystem::is_directory(Directory, Error))
	{
		OutError = "cannot make the directory '" + Directory + "': " + (Error ? Error.message() : std::string("it is not a directory"));
		return false;
	}
	for (int32 Suffix = 1; Suffix <= MaxNameSuffix; ++Suffix)
	{
		const std::string Name = Suffix == 1 ? BaseName + ".csv" : BaseName + "_" + std::to_string(Suffix) + ".csv";
		const std::string Candidate = (std::filesystem::path(Directory) / Name).string();
		// O_EXCL makes taking the name and creating the file one step, so no other writer can slip in between.
		const int Descriptor = ::open(Candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
		if (Descriptor >= 0)
		{
			FileDescriptor = Descriptor;
			Path = Candidate;
			Size = 0;
			return true;
		}
		if (errno != EEXIST)
		{
			OutError = "cannot create '" + Candidate + "': " + std::strerror(errno);
			return false;
		}
	}
	OutError = "every name from '" + BaseName + ".csv' to suffix " + std::to_string(MaxNameSuffix) + " is taken in '" + Directory + "'";
	return false;
}

bool FTakeFile::WriteRow(const std::string& Row, std::string& OutError)
{
	if (!IsOpen())
	{
		OutError = "the take file is not open";
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
			OutError = std::string("cannot write '") + Path + "': " + (Result < 0 ? std::strerror(errno) : "nothing was written");
			if (Written > 0 && ::ftruncate(FileDescriptor, off_t(Size)) != 0)
			{
				OutError += " (and the partial row could not be cut off)";
			}
			return false;
		}
		Written += size_t(Result);
	}
	Size += int64(Written);
	return true;
}

void FTakeFile::Close()
{
	if (FileDescriptor >= 0)
	{
		::close(FileDescriptor);
		FileDescriptor = -1;
	}
}
