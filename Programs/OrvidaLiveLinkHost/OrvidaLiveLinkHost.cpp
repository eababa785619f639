// orvida-livelink: runs the camera link source the way the editor would and reports on it.

// CLI11 comes first: the engine's check() macro would otherwise rewrite its member functions of that name.
#include <CLI/CLI.hpp>

#include "DecodeCommand.h"
#include "StandIn/LiveLinkClient.h"
#include "OrvidaEndpointText.h"
#include "OrvidaLiveLinkSource.h"
#include "Roles/LiveLinkCameraTypes.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace
{
std::atomic<bool> bQuitRequested{false};

void RequestQuit(int)
{
	bQuitRequested.store(true);
}

std::string ToUtf8(const FText& Text)
{
	return TCHAR_TO_UTF8(*Text.ToString());
}
} // namespace

int main(int ArgumentCount, char** Arguments)
{
	CLI::App App{"Receives Orvida camera messages as a Live Link source."};
	std::string ConnectionString = "0.0.0.0:9001";
	double Seconds = 0.0;
	App.add_option("--connection,-c", ConnectionString, "where to listen, as a.b.c.d:port")->capture_default_str();
	App.add_option("--seconds", Seconds, "stop after this many seconds (0: run until interrupted)");
	App.require_subcommand(0, 1);

	FDecodeCommandOptions DecodeOptions;
	CLI::App* Decode = App.add_subcommand("decode", "decode one datagram as the source would and print the sample");
	Decode->add_option("file", DecodeOptions.Path, "the datagram's bytes; - for standard input")->capture_default_str();
	Decode->add_flag("--lens", DecodeOptions.bAutoLens, "decode as a source with lens update on");
	Decode->add_flag("--take", DecodeOptions.bTakeOptions, "decode as a source with scene/take update on");

	try
	{
		App.parse(ArgumentCount, Arguments);
	}
	catch (const CLI::ParseError& Error)
	{
		// Help and version exit 0; every other parse error is a usage error.
		return App.exit(Error) == 0 ? 0 : 2;
	}
	if (Decode->parsed())
	{
		return RunDecodeCommand(DecodeOptions);
	}

	if (Seconds < 0.0)
	{
		std::fprintf(stderr, "orvida-livelink: --seconds must not be negative\n");
		return 2;
	}

	FIPv4Endpoint Endpoint;
	if (!FOrvidaEndpointText::ParseEndpoint(FString(UTF8_TO_TCHAR(ConnectionString.c_str())), Endpoint))
	{
		std::fprintf(stderr, "orvida-livelink: \"%s\" is not an endpoint of the form a.b.c.d:port\n", ConnectionString.c_str());
		return 2;
	}

	std::signal(SIGINT, RequestQuit);
	std::signal(SIGTERM, RequestQuit);

	// The game thread: ticks the client at 60 Hz, as the editor does, and reports once a second.
	FLiveLinkClient Client;
	const TSharedPtr<FOrvidaLiveLinkSource> Source = MakeShared<FOrvidaLiveLinkSource>(Endpoint, true, true, false);
	const FGuid SourceGuid = Client.AddSource(Source);
	std::printf("%s on %s, listening on %s: %s\n", ToUtf8(Source->GetSourceType()).c_str(), ToUtf8(Source->GetSourceMachineName()).c_str(),
		TCHAR_TO_UTF8(*Source->GetBoundEndpoint().ToString()), ToUtf8(Source->GetSourceStatus()).c_str());
	std::fflush(stdout);
	if (!Source->IsSourceStillValid())
	{
		Client.RemoveSource(SourceGuid);
		return 1;
	}

	const auto Start = std::chrono::steady_clock::now();
	auto NextReport = Start + std::chrono::seconds(1);
	const FLiveLinkSubjectKey Subject(SourceGuid, FName("Orvida - Camera"));
	while (!bQuitRequested.load() && (Seconds <= 0.0 || std::chrono::steady_clock::now() - Start < std::chrono::duration<double>(Seconds)))
	{
		Client.Tick();
		if (std::chrono::steady_clock::now() >= NextReport)
		{
			NextReport += std::chrono::seconds(1);
			const FOrvidaSampleRing::FStats Stats = Source->GetSampleRing().GetStats();
			const TArray<FLiveLinkFrameDataStruct> Frames = Client.GetFrames(Subject);
			const FLiveLinkCameraFrameData* Last = Frames.IsEmpty() ? nullptr : Frames.Last().Cast<FLiveLinkCameraFrameData>();
			if (Last != nullptr)
			{
				const FVector Location = Last->Transform.GetTranslation();
				std::printf("samples %lld, dropped %lld, playout rate %.3f, camera at %.2f %.2f %.2f, field of view %.2f\n", (long long)Stats.CommittedSamples,
					(long long)Stats.DroppedSamples, Source->GetSampleRing().GetPlayoutRate(), Location.X, Location.Y, Location.Z, Last->FieldOfView);
			}
			else
			{
				std::printf("samples %lld, waiting for the first camera message\n", (long long)Stats.CommittedSamples);
			}
			std::fflush(stdout);
		}
		std::this_thread::sleep_for(std::chrono::microseconds(16667));
	}

	Client.RemoveSource(SourceGuid);
	std::printf("stopped\n");
	return 0;
}
