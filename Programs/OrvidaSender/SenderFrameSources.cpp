#include "SenderFrameSources.h"

#include "SenderPathSource.h"
#include "SenderPcapReader.h"
#include "SenderReplaySource.h"
#include "SenderTakeFileReader.h"
#include "SenderTrajectoryReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace
{
bool IsCapture(const std::string& Path)
{
	// pcap in either byte order, with micro- or nanosecond timestamps, and pcapng's section header block.
	constexpr std::array<uint32_t, 5> Magics = {0xA1B2C3D4, 0xD4C3B2A1, 0xA1B23C4D, 0x4D3CB2A1, 0x0A0D0D0A};
	std::ifstream File(Path, std::ios::binary);
	uint8_t Bytes[4] = {};
	if (!File.read(reinterpret_cast<char*>(Bytes), sizeof(Bytes)))
	{
		return false;
	}
	const uint32_t Magic = uint32_t(Bytes[0]) << 24 | uint32_t(Bytes[1]) << 16 | uint32_t(Bytes[2]) << 8 | Bytes[3];
	return std::find(Magics.begin(), Magics.end(), Magic) != Magics.end();
}
/**
 * Why the file cannot be replayed, or nothing. A replay is read whole before the first frame goes out, so only a
 * regular file of bounded size is read: a device such as /dev/zero or a FIFO would be read without end.
 */
std::string CheckReplayFile(const std::string& Path)
{
	std::error_code Error;
	const std::filesystem::file_status Status = std::filesystem::status(Path, Error);
	if (Error)
	{
		return "cannot read " + Path + ": " + Error.message();
	}
	if (!std::filesystem::is_regular_file(Status))
	{
		return Path + " is not a regular file" + (std::filesystem::is_directory(Status) ? " but a folder" : "");
	}
	const uintmax_t Size = std::filesystem::file_size(Path, Error);
	if (Error)
	{
		return "cannot read " + Path + ": " + Error.message();
	}
	if (Size == 0)
	{
		return Path + " is empty";
	}
	if (Size > FSenderFrameSources::MaxReplayBytes)
	{
		return Path + " is " + std::to_string(Size) + " bytes; a replay is read whole and may be at most " +
		       std::to_string(FSenderFrameSources::MaxReplayBytes >> 20) + " MiB";
	}
	return {};
}
} // namespace

FSenderFrameSources::FOpened FSenderFrameSources::Open(const FSenderOptions& Options)
{
	FOpened Opened;
	if (Options.ReplayFile.empty())
	{
		Opened.Source = std::make_unique<FSenderPathSource>(Options.Path, Options.Rate, Options.StartFrame);
		return Opened;
	}

	const std::string& Path = Options.ReplayFile;
	if (const std::string Refusal = CheckReplayFile(Path); !Refusal.empty())
	{
		Opened.Error = Refusal;
		return Opened;
	}
	const bool bCapture = IsCapture(Path);
	const bool bTakeFile = !bCapture && std::filesystem::path(Path).extension() == ".csv";
	FSenderReplay Replay = bCapture    ? FSenderPcapReader::Read(Path, Options.PortFilter)
	                       : bTakeFile ? FSenderTakeFileReader::Read(Path, Options.Rate)
	                                   : FSenderTrajectoryReader::Read(Path, Options.Units, Options.Axes, Options.Rate, Options.StartFrame);
	if (Replay.Error.empty() && Replay.Frames.empty())
	{
		Replay.Error = Path + ": nothing to send (" + std::to_string(Replay.SkippedRecords) + " records, none of them a camera message)";
	}
	if (!Replay.Error.empty())
	{
		Opened.Error = Replay.Error;
		return Opened;
	}
	Opened.Description = Path + ": " +
	                     (bCapture    ? "capture"
	                      : bTakeFile ? "take file"
	                                  : "trajectory") +
	                     ", " + std::to_string(Replay.Frames.size()) + " frames, " + std::to_string(Replay.SkippedRecords) + " records skipped";
	Opened.Source = std::make_unique<FSenderReplaySource>(std::move(Replay.Frames), Options.bLoop, Options.Rate.TimeOfFrame(1));
	return Opened;
}
