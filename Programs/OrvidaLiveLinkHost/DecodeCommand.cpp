#include "DecodeCommand.h"

#include "Misc/OutputDeviceRedirector.h"
#include "OrvidaCameraMessageDecoder.h"
#include "StandIn/StandInLog.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <vector>

namespace
{
/** Keeps the log lines written while it exists, to print them after the result. */
class FLogLines final : public FOutputDevice
{
public:
	FLogLines()
	{
		GLog->RemoveOutputDevice(FStandInLog::GetStandardErrorDevice());
		GLog->AddOutputDevice(this);
	}
	~FLogLines() override
	{
		GLog->RemoveOutputDevice(this);
		GLog->AddOutputDevice(FStandInLog::GetStandardErrorDevice());
	}

	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override
	{
		Lines.push_back(std::string(TCHAR_TO_UTF8(*Category.ToString())) + ": " + TCHAR_TO_UTF8(ToString(Verbosity)) + ": " + TCHAR_TO_UTF8(Text));
	}

	std::vector<std::string> Lines;
};

std::optional<std::vector<uint8>> ReadDatagram(const std::string& Path)
{
	if (Path == "-")
	{
		return std::vector<uint8>(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
	}
	std::ifstream File(Path, std::ios::binary);
	if (!File)
	{
		return std::nullopt;
	}
	return std::vector<uint8>(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

template <typename ElementType, size_t Count>
nlohmann::json ToJson(const ElementType (&Values)[Count])
{
	nlohmann::json Array = nlohmann::json::array();
	for (const ElementType& Value : Values)
	{
		if constexpr (std::is_same_v<ElementType, FString>)
		{
			Array.push_back(TCHAR_TO_UTF8(*Value));
		}
		else
		{
			Array.push_back(Value);
		}
	}
	return Array;
}

nlohmann::json ToJson(const FOrvidaCameraSample& Sample)
{
	return nlohmann::json{{"Location", ToJson(Sample.Location)}, {"Rotation", ToJson(Sample.Rotation)}, {"Scale", ToJson(Sample.Scale)},
		{"Lens", ToJson(Sample.Lens)}, {"Timecode", ToJson(Sample.Timecode)}, {"Metadata", ToJson(Sample.Metadata)}, {"State", Sample.State}};
}
} // namespace

int RunDecodeCommand(const FDecodeCommandOptions& Options)
{
	const std::optional<std::vector<uint8>> Datagram = ReadDatagram(Options.Path);
	if (!Datagram)
	{
		std::fprintf(stderr, "orvida-livelink decode: cannot read %s\n", Options.Path.c_str());
		return 2;
	}

	// The same options a source takes: both take options read the same fields, so one flag stands for them.
	FOrvidaCameraMessageDecoder Decoder(Options.bAutoLens, Options.bTakeOptions, false);
	std::vector<nlohmann::json> Samples;
	std::vector<std::string> LogLines;
	{
		FLogLines Log;
		Decoder.Decode(Datagram->data(), int32(Datagram->size()), [&Samples](FOrvidaCameraSample&& Sample) { Samples.push_back(ToJson(Sample)); });
		LogLines = Log.Lines;
	}

	for (const nlohmann::json& Sample : Samples)
	{
		std::printf("%s\n", Sample.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
	}
	if (Samples.empty())
	{
		std::printf("no sample\n");
	}
	for (const std::string& Line : LogLines)
	{
		std::printf("%s\n", Line.c_str());
	}
	return Samples.empty() ? 1 : 0;
}
