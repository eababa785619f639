#include "SenderTakeFileReader.h"

#include "SenderCsvRecords.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string_view>
#include <tuple>

namespace
{
std::string_view Trim(std::string_view Text)
{
	while (!Text.empty() && std::isspace((unsigned char)Text.front()))
	{
		Text.remove_prefix(1);
	}
	while (!Text.empty() && std::isspace((unsigned char)Text.back()))
	{
		Text.remove_suffix(1);
	}
	return Text;
}

/** Undoes the take file's escapes in the slate line: a backslash before a backslash, 'r' or 'n' stands for that backslash, CR or LF; any other byte stays. */
std::string UnescapeSlate(std::string_view Escaped)
{
	std::string Slate;
	for (size_t Index = 0; Index < Escaped.size(); ++Index)
	{
		const char Next = Index + 1 < Escaped.size() ? Escaped[Index + 1] : '\0';
		if (Escaped[Index] == '\\' && (Next == '\\' || Next == 'r' || Next == 'n'))
		{
			Slate += Next == 'r' ? '\r' : Next == 'n' ? '\n' : '\\';
			++Index;
			continue;
		}
		Slate += Escaped[Index];
	}
	return Slate;
}

/**
 * Takes the slate and take from the line the host writes first, "# Slate: <slate>, Take: <N>" (Comment is what
 * follows the '#'). The take is what follows the last ", Take: ", so a slate holding that text still reads whole.
 * Other comments change nothing.
 */
void ReadComment(std::string_view Comment, std::optional<std::string>& Slate, std::optional<std::string>& Take)
{
	constexpr std::string_view SlateKey = " Slate: ";
	constexpr std::string_view TakeKey = ", Take: ";
	const size_t TakeAt = Comment.rfind(TakeKey);
	if (!Comment.starts_with(SlateKey) || TakeAt == std::string_view::npos || TakeAt < SlateKey.size())
	{
		return;
	}
	Slate = UnescapeSlate(Comment.substr(SlateKey.size(), TakeAt - SlateKey.size()));
	Take = std::string(Trim(Comment.substr(TakeAt + TakeKey.size())));
}

/** A century of seconds: far more than any take, far less than the nanoseconds a replay's offsets can count. */
constexpr double MaxWorldTimeSeconds = 100.0 * 365.25 * 24 * 3600;

std::optional<double> ReadNumber(const std::string& Field)
{
	const std::string_view Text = Trim(Field);
	double Value = 0.0;
	const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
	// "nan" and "inf" parse, but no frame number, time or position can be one: a NaN frame number became
	// -2147483648 on the wire.
	if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size() || !std::isfinite(Value))
	{
		return std::nullopt;
	}
	return Value;
}
} // namespace

FSenderReplay FSenderTakeFileReader::Read(const std::string& Path, FSenderFrameRate FallbackRate)
{
	std::ifstream File(Path, std::ios::binary);
	if (!File)
	{
		return FSenderReplay::Failure("cannot read " + Path);
	}
	std::ostringstream Contents;
	Contents << File.rdbuf();
	const std::string Text = Contents.str();

	std::optional<std::string> Slate, Take;
	std::map<std::string, size_t> Columns;
	std::vector<std::string> Header;
	FSenderReplay Replay;
	std::optional<std::string> Subject;
	std::optional<double> FirstWorldTime;
	FSenderCsvRecords Records;
	int32_t Line = 0;
	int32_t RecordLine = 0;
	std::string_view Rest(Text);
	// A byte order mark would otherwise stick to the first column's name.
	if (const std::string_view ByteOrderMark = "\xEF\xBB\xBF"; Rest.starts_with(ByteOrderMark))
	{
		Rest.remove_prefix(ByteOrderMark.size());
	}
	while (!Rest.empty())
	{
		const size_t End = std::min(Rest.find('\n'), Rest.size());
		const std::string_view LineText = Rest.substr(0, End);
		Rest.remove_prefix(std::min(End + 1, Rest.size()));
		++Line;
		if (Records.IsBetweenRecords())
		{
			RecordLine = Line;
			if (LineText.starts_with('#'))
			{
				ReadComment(LineText.substr(1), Slate, Take);
				continue;
			}
		}
		if (!Records.AddLine(LineText))
		{
			continue;
		}
		const std::vector<std::string>& Fields = Records.GetFields();
		if (Fields.size() == 1 && Trim(Fields[0]).empty())
		{
			continue;
		}
		if (Header.empty())
		{
			Header = Fields;
			for (size_t Index = 0; Index < Header.size(); ++Index)
			{
				Columns.emplace(std::string(Trim(Header[Index])), Index);
			}
			continue;
		}

		const auto Field = [&](const char* Name) -> std::optional<std::string>
		{
			const auto Found = Columns.find(Name);
			return Found != Columns.end() && Found->second < Fields.size() ? std::optional<std::string>(Fields[Found->second]) : std::nullopt;
		};
		// Sources may share a subject name: the host's take files name the source too, and the pair is the subject.
		const std::string RowSubject = Field("Subject").value_or("") + '\n' + Field("Source").value_or("");
		if ((Subject && *Subject != RowSubject) || Trim(Field("LocationX").value_or("")).empty())
		{
			++Replay.SkippedRecords;
			continue;
		}
		Subject = RowSubject;

		std::string BadColumn;
		const auto Number = [&](const char* Name, double Default)
		{
			const std::optional<std::string> Value = Field(Name);
			if (!Value || Trim(*Value).empty())
			{
				return Default;
			}
			const std::optional<double> Parsed = ReadNumber(*Value);
			if (!Parsed && BadColumn.empty())
			{
				BadColumn = Name;
			}
			return Parsed.value_or(Default);
		};
		FSenderFrame Frame;
		FSenderCameraState State;
		const std::array<const char*, 3> LocationColumns = {"LocationX", "LocationY", "LocationZ"};
		const std::array<const char*, 4> RotationColumns = {"RotationX", "RotationY", "RotationZ", "RotationW"};
		const std::array<const char*, 3> ScaleColumns = {"ScaleX", "ScaleY", "ScaleZ"};
		const std::array<const char*, 4> LensColumns = {"FocalLength", "FocusDistance", "AspectRatio", "FieldOfView"};
		for (size_t Index = 0; Index < 3; ++Index)
		{
			State.Location[Index] = Number(LocationColumns[Index], 0.0);
			State.Scale[Index] = Number(ScaleColumns[Index], 1.0);
		}
		for (size_t Index = 0; Index < 4; ++Index)
		{
			State.Rotation[Index] = Number(RotationColumns[Index], 0.0);
			State.Lens[Index] = Number(LensColumns[Index], 0.0);
		}
		const double WorldTime = Number("WorldTime", 0.0);
		const double Numerator = Number("RateNumerator", 0.0), Denominator = Number("RateDenominator", 0.0);
		const int32_t PreviousFrame = Replay.Frames.empty() ? -1 : std::get<FSenderCameraState>(Replay.Frames.back().Content).FrameNumber;
		const double FrameNumber = Number("FrameNumber", PreviousFrame + 1.0);
		if (!BadColumn.empty())
		{
			return FSenderReplay::Failure(Path + ":" + std::to_string(RecordLine) + ": " + BadColumn + " is not a finite number");
		}
		// Each becomes an integer of its own width, or a duration in nanoseconds, which a larger value would overflow.
		for (const auto& [Name, Value, Limit] :
		     {std::tuple{"FrameNumber", std::abs(FrameNumber), double(INT32_MAX)}, std::tuple{"RateNumerator", Numerator, double(INT32_MAX)},
		      std::tuple{"RateDenominator", Denominator, double(INT32_MAX)}, std::tuple{"WorldTime", std::abs(WorldTime), MaxWorldTimeSeconds}})
		{
			if (Value > Limit)
			{
				return FSenderReplay::Failure(Path + ":" + std::to_string(RecordLine) + ": " + Name + " is out of range");
			}
		}
		State.Rate = Numerator >= 1.0 && Denominator >= 1.0 ? FSenderFrameRate{int32_t(Numerator), int32_t(Denominator)} : FallbackRate;
		State.FrameNumber = int32_t(FrameNumber);
		// The host writes a row for every engine tick, so a frame the playout clock held over ticks has several
		// rows: the camera application sent it once.
		if (!Replay.Frames.empty())
		{
			const FSenderCameraState& Previous = std::get<FSenderCameraState>(Replay.Frames.back().Content);
			if (Previous.FrameNumber == State.FrameNumber && Previous.Rate.Numerator == State.Rate.Numerator &&
			    Previous.Rate.Denominator == State.Rate.Denominator)
			{
				++Replay.SkippedRecords;
				continue;
			}
		}
		if (!FirstWorldTime)
		{
			FirstWorldTime = WorldTime;
		}
		Frame.Offset = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(WorldTime - *FirstWorldTime));
		if (!Replay.Frames.empty())
		{
			Frame.Offset = std::max(Frame.Offset, Replay.Frames.back().Offset);
		}
		Frame.Content = std::move(State);
		Replay.Frames.push_back(std::move(Frame));
	}

	if (!Records.IsBetweenRecords())
	{
		return FSenderReplay::Failure(Path + ":" + std::to_string(RecordLine) + ": a quoted field is not closed");
	}
	for (const char* Required : {"WorldTime", "LocationX", "LocationY", "LocationZ", "RotationX", "RotationY", "RotationZ", "RotationW"})
	{
		if (!Columns.contains(Required))
		{
			return FSenderReplay::Failure(Path + ": no " + Required + " column");
		}
	}

	// The host names take files Slate_Take.csv, the take with at least three digits and a _2, _3... when the name was taken.
	std::smatch Name;
	const std::string Stem = std::filesystem::path(Path).stem().string();
	if (std::regex_match(Stem, Name, std::regex("(.*)_([0-9]{3,})(_[0-9]+)?")))
	{
		const std::string Digits = Name[2].str();
		Slate = Slate.value_or(Name[1].str());
		Take = Take.value_or(Digits.substr(std::min(Digits.find_first_not_of('0'), Digits.size() - 1)));
	}
	for (FSenderFrame& Frame : Replay.Frames)
	{
		FSenderCameraState& State = std::get<FSenderCameraState>(Frame.Content);
		State.Slate = Slate.value_or("");
		State.Take = Take.value_or("");
	}
	return Replay;
}
