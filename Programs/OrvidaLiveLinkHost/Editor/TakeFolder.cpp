#include "Editor/TakeFolder.h"

#include "Editor/TakeFileReader.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

FHostTakeFolder::FHostTakeFolder()
    : Worker([this] { Run(); })
{
}

FHostTakeFolder::~FHostTakeFolder()
{
	{
		std::lock_guard Guard(Lock);
		bStopRequested = true;
		bStopping.store(true, std::memory_order_relaxed);
	}
	Wake.notify_all();
	Worker.join();
}

void FHostTakeFolder::Scan(const std::string& Directory, const std::string& SkipPath)
{
	{
		std::lock_guard Guard(Lock);
		Pending = FRequest{Directory, SkipPath};
	}
	Wake.notify_all();
}

std::shared_ptr<const std::vector<FHostTakeFileSnapshot>> FHostTakeFolder::GetTakes() const
{
	std::lock_guard Guard(Lock);
	return Takes;
}

void FHostTakeFolder::Run()
{
	for (;;)
	{
		FRequest Request;
		{
			std::unique_lock Guard(Lock);
			Wake.wait(Guard, [this] { return bStopRequested || Pending.has_value(); });
			if (bStopRequested)
			{
				return;
			}
			Request = std::move(*Pending);
			Pending.reset();
		}
		auto Listed = std::make_shared<const std::vector<FHostTakeFileSnapshot>>(List(Request));
		std::lock_guard Guard(Lock);
		Takes = std::move(Listed);
	}
}

std::vector<FHostTakeFileSnapshot> FHostTakeFolder::List(const FRequest& Request)
{
	std::vector<FHostTakeFileSnapshot> Found;
	std::error_code Error;
	// Every failure to look (no folder, no permission, a file gone meanwhile) leaves that entry or the folder out.
	for (fs::directory_iterator Entry(Request.Directory, Error), End; !Error && Entry != End; Entry.increment(Error))
	{
		std::error_code EntryError;
		if (Entry->path().extension() != ".csv" || !Entry->is_regular_file(EntryError) || Entry->path() == fs::path(Request.SkipPath))
		{
			continue;
		}
		FHostTakeFileSnapshot& Take = Found.emplace_back();
		Take.Path = Entry->path().string();
		Take.FileName = Entry->path().filename().string();
		const std::uintmax_t Size = Entry->file_size(EntryError);
		const fs::file_time_type Modified = Entry->last_write_time(EntryError);
		if (EntryError)
		{
			Found.pop_back();
			continue;
		}
		Take.SizeBytes = int64_t(Size);
		Take.ModifiedNanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(Modified.time_since_epoch()).count();
	}
	std::sort(Found.begin(), Found.end(),
	          [](const FHostTakeFileSnapshot& A, const FHostTakeFileSnapshot& B)
	          { return A.ModifiedNanoseconds != B.ModifiedNanoseconds ? A.ModifiedNanoseconds < B.ModifiedNanoseconds : A.FileName < B.FileName; });
	if (Found.size() > MaxListed)
	{
		Found.erase(Found.begin(), Found.end() - ptrdiff_t(MaxListed));
	}
	std::map<std::string, FHostTakeFileSnapshot> Kept;
	for (FHostTakeFileSnapshot& Take : Found)
	{
		const auto Cached = Cache.find(Take.Path);
		if (Cached != Cache.end() && Cached->second.SizeBytes == Take.SizeBytes && Cached->second.ModifiedNanoseconds == Take.ModifiedNanoseconds)
		{
			Take = Cached->second;
		}
		else
		{
			FHostTakeFileReader::Read(Take.Path, Take, &bStopping);
		}
		Kept.emplace(Take.Path, Take);
	}
	Cache = std::move(Kept);
	return Found;
}
