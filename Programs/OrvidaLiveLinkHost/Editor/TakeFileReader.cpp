#include "Editor/TakeFileReader.h"

#include "SenderCsvRecords.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace
{
/** Lines read between two looks at the stop flag. */
constexpr int32_t LinesBetweenStopChecks = 4096;

template <typename NumberType> bool ReadNumber(const std::string& Text, NumberType& Value)
{
	const std::from_chars_result Result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
	return Result.ec == std::errc() && Result.ptr == Text.data() + Text.size();
}
} // namespace

void FHostTakeFileReader::Read(const std::string& Path, FHostTakeFileSnapshot& Take, const std::atomic<bool>* Stop)
{
	Take.Rows = 0;
	Take.FrameCount = 0;
	Take.DurationSeconds = 0.0;
	Take.Sources.clear();
	Take.Error.clear();
	std::ifstream File(Path, std::ios::binary);
	if (!File)
	{
		Take.Error = std::string("cannot read the file: ") + std::strerror(errno);
		return;
	}
	// getline into a fixed buffer, so that a file without line breaks is never taken in whole.
	std::vector<char> Buffer(MaxRecordBytes + 1);
	FSenderCsvRecords Records;
	std::map<std::string, size_t> Columns;
	std::map<std::pair<std::string, std::string>, std::unordered_set<int64_t>> FramesBySubject;
	std::set<std::string> Sources;
	double FirstTime = 0.0, LastTime = 0.0;
	int64_t Line = 0;
	const auto Fail = [&Take, &Line](const std::string& Why) { Take.Error = "line " + std::to_string(Line) + ": " + Why; };
	while (File.getline(Buffer.data(), std::streamsize(Buffer.size())) || File.gcount() > 0)
	{
		++Line;
		if (File.fail() && !File.eof())
		{
			Fail("longer than " + std::to_string(MaxRecordBytes / 1024) + " KiB");
			break;
		}
		if (Stop != nullptr && Line % LinesBetweenStopChecks == 0 && Stop->load(std::memory_order_relaxed))
		{
			Take.Error = "stopped";
			break;
		}
		const std::string_view Text(Buffer.data(), size_t(std::max<std::streamsize>(File.gcount() - (File.eof() ? 0 : 1), 0)));
		if (Records.IsBetweenRecords() && Text.starts_with('#') && Columns.empty())
		{
			continue;
		}
		const bool bRecordEnded = Records.AddLine(Text);
		if (Records.GetOpenRecordBytes() > MaxRecordBytes)
		{
			Fail("a record longer than " + std::to_string(MaxRecordBytes / 1024) + " KiB");
			break;
		}
		if (!bRecordEnded)
		{
			continue;
		}
		const std::vector<std::string>& Fields = Records.GetFields();
		if (Columns.empty())
		{
			for (size_t Index = 0; Index < Fields.size(); ++Index)
			{
				Columns.emplace(Fields[Index], Index);
			}
			if (!Columns.contains("Subject") || !Columns.contains("WorldTime") || !Columns.contains("FrameNumber"))
			{
				Fail("no header with Subject, WorldTime and FrameNumber: not a take file");
				break;
			}
			continue;
		}
		const auto Field = [&Columns, &Fields](const char* Name)
		{
			const auto Found = Columns.find(Name);
			return Found != Columns.end() && Found->second < Fields.size() ? Fields[Found->second] : std::string();
		};
		double WorldTime = 0.0;
		int64_t FrameNumber = 0;
		if (!ReadNumber(Field("WorldTime"), WorldTime))
		{
			Fail("WorldTime '" + Field("WorldTime") + "' is not a number");
			break;
		}
		if (!ReadNumber(Field("FrameNumber"), FrameNumber))
		{
			Fail("FrameNumber '" + Field("FrameNumber") + "' is not a whole number");
			break;
		}
		const std::string Source = Field("Source");
		FirstTime = Take.Rows == 0 ? WorldTime : std::min(FirstTime, WorldTime);
		LastTime = Take.Rows == 0 ? WorldTime : std::max(LastTime, WorldTime);
		++Take.Rows;
		FramesBySubject[{Field("Subject"), Source}].insert(FrameNumber);
		if (!Source.empty())
		{
			Sources.insert(Source);
		}
	}
	if (Take.Error.empty() && !Records.IsBetweenRecords())
	{
		Fail("a quoted field is not closed");
	}
	else if (Take.Error.empty() && Columns.empty())
	{
		Take.Error = "no header: not a take file";
	}
	for (const auto& [Subject, Frames] : FramesBySubject)
	{
		Take.FrameCount = std::max(Take.FrameCount, int64_t(Frames.size()));
	}
	Take.DurationSeconds = LastTime - FirstTime;
	Take.Sources.assign(Sources.begin(), Sources.end());
}
