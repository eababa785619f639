// The sender's headers come first: they are plain C++, and the engine's macros are best kept away from them.
#include "SenderFrameSources.h"
#include "SenderSession.h"

#include "Editor/DemoSender.h"

std::unique_ptr<FHostDemoSender> FHostDemoSender::Start(const FIPv4Endpoint& Endpoint)
{
	// A source bound to every address hears the loopback one too; the wildcard itself is no destination.
	const FIPv4Address Address = Endpoint.Address == FIPv4Address::Any ? FIPv4Address::InternalLoopback : Endpoint.Address;
	const std::string Destination = std::string(TCHAR_TO_UTF8(*Address.ToString())) + ":" + std::to_string(Endpoint.Port);
	FSenderOptions Options;
	if (std::optional<FSenderDestination> Parsed = FSenderDestination::Parse(Destination))
	{
		Options.Destinations.push_back(std::move(*Parsed));
	}
	Options.Path = FSenderPath::EKind::Orbit;
	Options.Rate = FSenderFrameRate{25, 1};
	Options.Scene = "Demo";
	Options.Slate = "DEMO";
	Options.Take = "1";
	Options.RecordAfterSeconds = RecordAfterSeconds;
	Options.StopAfterSeconds = StopAfterSeconds;
	FSenderFrameSources::FOpened Opened = FSenderFrameSources::Open(Options);
	if (!Options.Validate().empty() || !Opened.Source)
	{
		return nullptr;
	}
	auto Session = std::make_unique<FSenderSession>(std::move(Options), std::move(Opened.Source));
	return std::unique_ptr<FHostDemoSender>(
	    new FHostDemoSender(std::move(Session), "demo: an orbit at 25 frames a second to " + Destination + ", take DEMO #1 recording from 5 s to 20 s"));
}

FHostDemoSender::FHostDemoSender(std::unique_ptr<FSenderSession> InSession, std::string InDescription)
    : Session(std::move(InSession))
    , Description(std::move(InDescription))
{
	// Outcome is written by the thread and read only after the join.
	Thread = std::thread(
	    [this]
	    {
		    const FSenderSummary Summary = Session->Run();
		    Outcome = Summary.Error.empty() ? Summary.Describe() : Summary.Error;
	    });
}

FHostDemoSender::~FHostDemoSender() { Stop(); }

std::string FHostDemoSender::Stop()
{
	if (Thread.joinable())
	{
		Session->Stop();
		Thread.join();
	}
	return "demo: " + Outcome;
}
