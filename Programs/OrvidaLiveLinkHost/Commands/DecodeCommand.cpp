#include "Commands/DecodeCommand.h"

#include "Misc/OutputDeviceRedirector.h"
#include "OrvidaCameraMessageDecoder.h"
#include "StandIn/StandInLog.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

/** The largest payload a UDP datagram over IPv4 can carry: no real datagram is longer, so longer input is not one. */
constexpr size_t MaxDatagramSize = 65507;

/**
 * Reads the datagram's bytes from Path ("-": standard input). Reads at most one byte past the largest datagram,
 * so an endless input (/dev/zero) is refused at once. False, with the reason in OutError, for a folder, an input
 * that cannot be opened or read, or one longer than a datagram.
 */
bool ReadDatagram(const std::string& Path, std::vector<uint8>& OutBytes, std::string& OutError)
{
	const bool bStandardInput = Path == "-";
	const int Descriptor = bStandardInput ? STDIN_FILENO : ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
	if (Descriptor < 0)
	{
		OutError = std::strerror(errno);
		return false;
	}
	struct stat Status;
	if (::fstat(Descriptor, &Status) == 0 && S_ISDIR(Status.st_mode))
	{
		OutError = "it is a folder, not a file";
	}
	OutBytes.resize(MaxDatagramSize + 1);
	size_t Size = 0;
	while (OutError.empty() && Size < OutBytes.size())
	{
		const ssize_t Result = ::read(Descriptor, OutBytes.data() + Size, OutBytes.size() - Size);
		if (Result < 0 && errno == EINTR)
		{
			continue;
		}
		if (Result < 0)
		{
			OutError = std::strerror(errno);
		}
		if (Result <= 0)
		{
			break;
		}
		Size += size_t(Result);
	}
	if (!bStandardInput)
	{
		::close(Descriptor);
	}
	if (OutError.empty() && Size > MaxDatagramSize)
	{
		OutError = "longer than the largest datagram (" + std::to_string(MaxDatagramSize) + " bytes)";
	}
	OutBytes.resize(Size);
	return OutError.empty();
}

template <typename ElementType, size_t Count> nlohmann::json ToJson(const ElementType (&Values)[Count])
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

/** The sample as a source with Options uses it: the decoder reads every field, the options decide what is published. */
nlohmann::json ToJson(FOrvidaCameraSample Sample, const FDecodeCommandOptions& Options)
{
	if (!Options.bAutoLens)
	{
		Sample.Lens[0] = Sample.Lens[1] = Sample.Lens[2] = Sample.Lens[3] = 0.0;
	}
	if (!Options.bTakeOptions)
	{
		Sample.Metadata[0] = Sample.Metadata[1] = Sample.Metadata[2] = FString();
		Sample.State = 0;
	}
	return nlohmann::json{
	    {"Location", ToJson(Sample.Location)}, {"Rotation", ToJson(Sample.Rotation)}, {"Scale", ToJson(Sample.Scale)}, {"Lens", ToJson(Sample.Lens)},
	    {"Timecode", ToJson(Sample.Timecode)}, {"Metadata", ToJson(Sample.Metadata)}, {"State", Sample.State}};
}
} // namespace

int RunDecodeCommand(const FDecodeCommandOptions& Options)
{
	std::vector<uint8> Datagram;
	std::string Error;
	if (!ReadDatagram(Options.Path, Datagram, Error))
	{
		std::fprintf(stderr, "orvida-livelink decode: cannot read %s: %s\n", Options.Path.c_str(), Error.c_str());
		return 2;
	}

	// The same options a source takes: both take options use the same fields, so one flag stands for them.
	FOrvidaCameraMessageDecoder Decoder(Options.bAutoLens);
	std::vector<nlohmann::json> Samples;
	std::vector<std::string> LogLines;
	{
		FLogLines Log;
		Decoder.Decode(Datagram.data(), int32(Datagram.size()), [&](FOrvidaCameraSample&& Sample) { Samples.push_back(ToJson(MoveTemp(Sample), Options)); });
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
