#include "Editor/RunCommand.h"

#include "Capture/CaptureWriter.h"
#include "Console/Console.h"
#include "Editor/DemoSender.h"
#include "Editor/Editor.h"
#include "Editor/GameLoop.h"
#include "Editor/HostText.h"
#include "Editor/LogBuffer.h"
#include "Editor/Presets.h"
#include "Editor/Signals.h"
#include "Editor/SnapshotBoard.h"
#include "Editor/SnapshotBuilder.h"
#include "Editor/Source.h"
#include "Features/IModularFeatures.h"
#include "OrvidaLiveLinkSource.h"
#include "Server/WebApi.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/TakeRecorder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

namespace
{
/**
 * Offers the client to every module by name while it lives, as the editor's Live Link module offers its own from
 * start-up to shut-down; the plug-in's creation panel looks it up there. Game thread.
 */
class FClientFeatureRegistration
{
public:
	explicit FClientFeatureRegistration(ILiveLinkClient& InClient)
	    : Client(InClient)
	{
		IModularFeatures::Get().RegisterModularFeature(ILiveLinkClient::ModularFeatureName, &Client);
	}
	~FClientFeatureRegistration() { IModularFeatures::Get().UnregisterModularFeature(ILiveLinkClient::ModularFeatureName, &Client); }
	FClientFeatureRegistration(const FClientFeatureRegistration&) = delete;
	FClientFeatureRegistration& operator=(const FClientFeatureRegistration&) = delete;

private:
	ILiveLinkClient& Client;
};

/** Standard output is what scripts read: every line goes out whole and at once. */
void PrintLine(const std::string& Line)
{
	std::printf("%s\n", Line.c_str());
	std::fflush(stdout);
}

/**
 * Makes each requested source, sets Tap on it when Tap is set, and hands it to the client. A source that cannot
 * receive is named on standard error and kept all the same: the editor lists it with its status until the user
 * removes it, and so does the browser.
 */
TArray<FHostSource> StartSources(const ULiveLinkSourceFactory& Factory, FLiveLinkClient& Client, const std::vector<FHostSourceRequest>& Requests,
                                 const FOrvidaLiveLinkSource::FDatagramTap& Tap)
{
	TArray<FHostSource> Started;
	for (const FHostSourceRequest& Request : Requests)
	{
		const FHostCreatedSource Created = CreateHostSource(Factory, Request);
		if (!Created.Source.IsValid())
		{
			continue;
		}
		const TSharedPtr<FOrvidaLiveLinkSource> Source = TapHostSource(Created.Source, Tap);
		Started.Add(FHostSource{AddCreatedSource(Client, Created), Source});
	}
	return Started;
}

/** One line per source on standard output with where it listens, and one on standard error for each that cannot receive. */
void AnnounceSources(const TArray<FHostSource>& Sources)
{
	for (const FHostSource& Entry : Sources)
	{
		const FOrvidaLiveLinkSource& Source = *Entry.Source;
		const std::string Endpoint = TCHAR_TO_UTF8(*Source.GetBoundEndpoint().ToString());
		PrintLine(ToUtf8(Source.GetSourceType()) + " on " + ToUtf8(Source.GetSourceMachineName()) + ", listening on " + Endpoint + ": " +
		          ToUtf8(Source.GetSourceStatus()));
		if (!Source.IsSourceStillValid())
		{
			// The socket layer has logged why; this line names the endpoint for whoever reads only the host.
			std::fprintf(stderr, "orvida-livelink: cannot receive on %s: %s\n", Endpoint.c_str(), ToUtf8(Source.GetSourceStatus()).c_str());
		}
	}
}

/** The first source that can receive, or null. */
const FHostSource* FindReceivingSource(const TArray<FHostSource>& Sources)
{
	for (const FHostSource& Entry : Sources)
	{
		if (Entry.Source->IsSourceStillValid())
		{
			return &Entry;
		}
	}
	return nullptr;
}

/** Each source's tap cleared, the source asked to shut down and released by the client, then by the host, which destroys it. */
void StopSources(FLiveLinkClient& Client, TArray<FHostSource>& Sources)
{
	for (FHostSource& Entry : Sources)
	{
		const std::string Endpoint = TCHAR_TO_UTF8(*Entry.Source->GetBoundEndpoint().ToString());
		const TWeakPtr<FOrvidaLiveLinkSource> Watch = Entry.Source;
		RemoveHostSource(Client, Entry);
		Entry.Source.Reset();
		PrintLine("source " + Endpoint + (Watch.IsValid() ? " removed, still held by the client" : " shut down and destroyed"));
	}
	Sources.Empty();
}

/** Writes out the capture and says how it went: counts on standard output, a failure on standard error. False on a failure. */
bool FinishCapture(FHostCaptureWriter& Capture)
{
	const std::string Error = Capture.Finish();
	const FHostCaptureWriter::FCounts Counts = Capture.GetCounts();
	PrintLine("capture " + Capture.GetPath() + ": " + std::to_string(Counts.Written) + " datagrams written, " + std::to_string(Counts.Dropped) +
	          " dropped from the capture");
	if (!Error.empty())
	{
		std::fprintf(stderr, "orvida-livelink: %s\n", Error.c_str());
	}
	return Error.empty();
}
} // namespace

int RunHost(const FHostRunOptions& Options)
{
	std::unique_ptr<FHostCaptureWriter> Capture;
	if (!Options.CapturePath.empty())
	{
		std::string Error;
		Capture = FHostCaptureWriter::Open(Options.CapturePath, Error);
		if (!Capture)
		{
			std::fprintf(stderr, "orvida-livelink: %s\n", Error.c_str());
			return 2;
		}
	}
	FHostSignals::Install();
	// Before the module starts, so that the browser's log shows its start-up.
	const auto Log =
	    Options.Http ? std::make_unique<FHostLogBuffer>(std::set<std::string>{"ModuleLog", "LogLiveLink", "LogSockets", "LogTakeRecorder"}, 500) : nullptr;
	FHostEditor Editor;
	if (!Editor.Start(Options.ProjectDir))
	{
		return 1;
	}
	FLiveLinkClient Client;
	const FClientFeatureRegistration ClientFeature(Client);
	FTakeRecorder TakeRecorder;
	TakeRecorder.SetTakesDirectory(Editor.GetProjectDir() + TEXT("Saved/Takes"));
	TakeRecorder.SetCountdownSeconds(Options.CountdownSeconds);
	// The editor's tab starts closed, and the plug-in's take automation reaches the recorder only through it.
	if (Options.bTakePanel)
	{
		TakeRecorder.OpenPanel();
	}
	TakeRecorder.AttachToClient(Client);

	TArray<FHostSource> Sources;
	const ULiveLinkSourceFactory* Factory = Editor.NewSourceFactory();
	FHostPresets Presets(Options.PresetPath, Client, Sources, Capture ? Capture->MakeTap() : FOrvidaLiveLinkSource::FDatagramTap());
	// A preset file that exists takes the place of the sources asked for, as the project's preset would in the
	// editor; one that cannot be read at all leaves them to be made.
	const bool bRestored = !Options.PresetPath.empty() && std::filesystem::exists(Options.PresetPath) && Presets.Load().Error.empty();
	if (!bRestored && Factory != nullptr)
	{
		Sources = StartSources(*Factory, Client, Options.Sources, Capture ? Capture->MakeTap() : FOrvidaLiveLinkSource::FDatagramTap());
	}
	AnnounceSources(Sources);
	FHostSnapshotBoard Board;
	// Stopped before the sources go; in the browser sources come and go, so the host runs without any too.
	std::unique_ptr<FHostWebApi> Web = Options.Http ? FHostWebApi::Start(*Options.Http, Board, Editor, Client, TakeRecorder, Sources, Presets, *Log,
	                                                                     Capture ? Capture->MakeTap() : FOrvidaLiveLinkSource::FDatagramTap())
	                                                : nullptr;
	// Without the browser nothing could add a source that receives, so sources that cannot are no reason to run.
	const bool bRunnable = Options.Http ? Web != nullptr : FindReceivingSource(Sources) != nullptr;
	if (bRunnable)
	{
		FHostSnapshotBuilder Builder(Client, TakeRecorder);
		std::optional<FHostConsole> Console;
		if (Options.bConsole)
		{
			Console.emplace(Board);
		}
		// Stopped and joined within this block, so before the sources it sends to are destroyed.
		std::unique_ptr<FHostDemoSender> Demo;
		const FHostSource* DemoTarget = Options.bDemo ? FindReceivingSource(Sources) : nullptr;
		if (DemoTarget != nullptr)
		{
			Demo = FHostDemoSender::Start(DemoTarget->Source->GetBoundEndpoint());
			PrintLine(Demo ? Demo->GetDescription() : "demo: the first source has no port to send to");
		}
		const auto Start = std::chrono::steady_clock::now();
		const auto RunTime = std::chrono::duration<double>(Options.Seconds);
		int64_t TickCount = 0;
		auto LastTick = Start;
		FHostGameLoop(Options.TickRate)
		    .Run(
		        [&]
		        {
			        if (Web)
			        {
				        Web->Tick();
			        }
			        const auto Now = std::chrono::steady_clock::now();
			        const float DeltaSeconds = std::chrono::duration<float>(Now - LastTick).count();
			        LastTick = Now;
			        // The client's tick, with the plug-in's publishing pass, then the recorder's, as in the editor's frame.
			        Client.Tick();
			        TakeRecorder.Tick(DeltaSeconds);
			        std::shared_ptr<FHostSnapshot> Snapshot = Builder.Build(Sources, TickCount++);
			        if (Capture)
			        {
				        const FHostCaptureWriter::FCounts Counts = Capture->GetCounts();
				        Snapshot->Capture = FHostCaptureSnapshot{true, Counts.Written, Counts.Dropped};
			        }
			        if (Web)
			        {
				        Web->Fill(*Snapshot);
			        }
			        Board.Publish(std::move(Snapshot));
			        if (Console)
			        {
				        Console->Tick(std::chrono::steady_clock::now());
			        }
		        },
		        [&] { return FHostSignals::IsQuitRequested() || (Options.Seconds > 0.0 && std::chrono::steady_clock::now() - Start >= RunTime); });
		PrintLine("shutting down");
		if (Web)
		{
			Web.reset();
			PrintLine("web server stopped");
		}
		if (Demo)
		{
			PrintLine(Demo->Stop());
		}
	}
	else if (!Options.Http)
	{
		std::fprintf(stderr, "orvida-livelink: no source can receive; shutting down\n");
	}

	StopSources(Client, Sources);
	const bool bCaptured = !Capture || FinishCapture(*Capture);
	TakeRecorder.DetachFromClient();
	TakeRecorder.ClosePanel();
	PrintLine("take recorder detached");
	const bool bUnloaded = Editor.Shutdown();
	PrintLine(std::string("module ") + TCHAR_TO_UTF8(FHostEditor::PluginModuleName) + (bUnloaded ? " unloaded" : " still loaded"));
	PrintLine("stopped");
	return bRunnable && bUnloaded && bCaptured ? 0 : 1;
}
