#include "ConfigFileStorage.h"

#include "Containers/StringConv.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace
{
FString Describe(const char* Step, int Error) { return FString(UTF8_TO_TCHAR((std::string(Step) + ": " + std::generic_category().message(Error)).c_str())); }

bool WriteAll(int File, std::string_view Bytes)
{
	while (!Bytes.empty())
	{
		const ssize_t Written = ::write(File, Bytes.data(), Bytes.size());
		if (Written < 0 && errno != EINTR)
		{
			return false;
		}
		Bytes.remove_prefix(Written > 0 ? size_t(Written) : 0);
	}
	return true;
}

bool SyncFolder(const std::filesystem::path& Folder)
{
	const int File = ::open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (File < 0)
	{
		return false;
	}
	const bool bSynced = ::fsync(File) == 0;
	const int SyncError = errno;
	::close(File);
	errno = SyncError;
	return bSynced;
}
} // namespace

bool FConfigFileStorage::Read(const std::filesystem::path& Path, std::string& OutBytes, FString& OutError)
{
	OutBytes.clear();
	// Non-blocking, so that a FIFO in the file's place cannot hang the caller before it is found not to be a file.
	const int File = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
	if (File < 0)
	{
		if (errno == ENOENT)
		{
			return true;
		}
		OutError = Describe("opening it", errno);
		return false;
	}
	struct stat Status = {};
	bool bRead = ::fstat(File, &Status) == 0;
	if (!bRead)
	{
		OutError = Describe("inspecting it", errno);
	}
	else if (!S_ISREG(Status.st_mode))
	{
		bRead = false;
		OutError = Describe("reading it", S_ISDIR(Status.st_mode) ? EISDIR : EINVAL);
	}
	char Buffer[16384];
	while (bRead)
	{
		const ssize_t Count = ::read(File, Buffer, sizeof(Buffer));
		if (Count == 0)
		{
			break;
		}
		if (Count < 0 && errno != EINTR)
		{
			bRead = false;
			OutError = Describe("reading it", errno);
		}
		OutBytes.append(Buffer, Count > 0 ? size_t(Count) : 0);
	}
	::close(File);
	if (!bRead)
	{
		OutBytes.clear();
	}
	return bRead;
}

namespace
{
/** The file a chain of symbolic links ends at (Path itself when it is none), so that a save replaces the target and keeps the link. */
std::filesystem::path FollowLinks(std::filesystem::path Path)
{
	// The system's own bound on a chain; a loop past it is left to the rename to refuse.
	for (int Hop = 0; Hop < 40; ++Hop)
	{
		std::error_code Error;
		if (!std::filesystem::is_symlink(Path, Error))
		{
			break;
		}
		const std::filesystem::path Target = std::filesystem::read_symlink(Path, Error);
		if (Error)
		{
			break;
		}
		Path = Target.is_absolute() ? Target : Path.parent_path() / Target;
	}
	return Path;
}
} // namespace

bool FConfigFileStorage::Replace(const std::filesystem::path& LinkOrFile, std::string_view Bytes, FString& OutError)
{
	const std::filesystem::path Path = FollowLinks(LinkOrFile);
	const std::filesystem::path Folder = Path.parent_path();
	std::error_code FolderError;
	if (!Folder.empty())
	{
		std::filesystem::create_directories(Folder, FolderError);
	}
	if (FolderError)
	{
		OutError = Describe("creating its folder", FolderError.value());
		return false;
	}
	mode_t Mode = 0644;
	struct stat Status = {};
	const bool bExists = ::stat(Path.c_str(), &Status) == 0;
	if (bExists)
	{
		Mode = Status.st_mode & 07777;
	}
	else if (errno != ENOENT)
	{
		OutError = Describe("inspecting it", errno);
		return false;
	}

	std::string TemporaryName = Path.string() + ".tmpXXXXXX";
	const int File = ::mkostemp(TemporaryName.data(), O_CLOEXEC);
	if (File < 0)
	{
		OutError = Describe("creating a temporary file beside it", errno);
		return false;
	}
	const char* FailedStep = nullptr;
	int StepError = 0;
	const auto Fail = [&FailedStep, &StepError](const char* Step)
	{
		if (FailedStep == nullptr)
		{
			FailedStep = Step;
			StepError = errno;
		}
	};
	if (!WriteAll(File, Bytes))
	{
		Fail("writing the temporary file");
	}
	else if (bExists && (Status.st_uid != ::geteuid() || Status.st_gid != ::getegid()) && ::fchown(File, Status.st_uid, Status.st_gid) != 0)
	{
		// Saved anyway, the file would change hands: refused instead, and it stays as it was.
		Fail("giving the temporary file the owner of the file it replaces");
	}
	else if (::fchmod(File, Mode) != 0)
	{
		Fail("setting the temporary file's permissions");
	}
	else if (::fsync(File) != 0)
	{
		Fail("syncing the temporary file");
	}
	if (::close(File) != 0)
	{
		Fail("closing the temporary file");
	}
	if (FailedStep == nullptr && ::rename(TemporaryName.c_str(), Path.c_str()) != 0)
	{
		Fail("renaming the temporary file over it");
	}
	if (FailedStep != nullptr)
	{
		::unlink(TemporaryName.c_str());
		OutError = Describe(FailedStep, StepError);
		return false;
	}
	if (!SyncFolder(Folder))
	{
		OutError = Describe("syncing its folder", errno);
		return false;
	}
	return true;
}
