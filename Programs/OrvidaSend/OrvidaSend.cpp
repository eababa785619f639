// orvida-send: plays the camera application, sending camera messages over UDP from a made-up path or a replay,
// paced on the monotonic clock, optionally impaired on purpose; or, with --relay, forwards what it receives to
// every --to. The session or the relay runs on a thread of its own; the main thread shows progress and turns
// SIGINT and SIGTERM into a stop.
#include "SenderFrameSources.h"
#include "SenderRelay.h"
#include "SenderSession.h"
#include "SenderTimecode.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

namespace
{
std::atomic<bool> bSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void HandleSignal(int) { bSignalled.store(true, std::memory_order_relaxed); }

int Refuse(const std::string& Message)
{
	std::fprintf(stderr, "orvida-send: %s\n", Message.c_str());
	return 2;
}

std::string DescribeProgress(const FSenderProgress& Progress, const FSenderOptions& Options, std::chrono::nanoseconds Elapsed)
{
	const double Seconds = std::chrono::duration<double>(Elapsed).count();
	char Remaining[64];
	if (Options.DurationSeconds)
	{
		const double Left = *Options.DurationSeconds - std::chrono::duration<double>(Progress.Scheduled).count();
		std::snprintf(Remaining, sizeof(Remaining), "%.1f s remaining", Left > 0.0 ? Left : 0.0);
	}
	else if (Progress.PlannedMessages >= 0)
	{
		std::snprintf(Remaining, sizeof(Remaining), "%lld messages remaining", (long long)(Progress.PlannedMessages - Progress.Messages));
	}
	else
	{
		std::snprintf(Remaining, sizeof(Remaining), "until stopped");
	}
	char Line[192];
	std::snprintf(Line, sizeof(Line), "%lld messages sent, %.1f/s, %.1f s elapsed, %s", (long long)Progress.Messages,
	              Seconds > 0.0 ? double(Progress.Messages) / Seconds : 0.0, Seconds, Remaining);
	return Line;
}

std::string DescribeRelayProgress(const FSenderRelaySummary& Progress, std::chrono::nanoseconds Elapsed)
{
	const double Seconds = std::chrono::duration<double>(Elapsed).count();
	char Line[160];
	std::snprintf(Line, sizeof(Line), "%lld datagrams received, %.1f/s, %lld forwarded, %lld refused, %.1f s elapsed", (long long)Progress.Received,
	              Seconds > 0.0 ? double(Progress.Received) / Seconds : 0.0, (long long)Progress.Forwarded, (long long)Progress.Refused, Seconds);
	return Line;
}

/**
 * Runs Work on a thread of its own until it returns. Meanwhile a signal calls Stop, and on a terminal Describe's
 * line (given the time since the start) is shown in place a few times a second; nothing is shown anywhere else.
 */
template <typename FWork, typename FStop, typename FDescribe> void RunShowingProgress(FWork&& Work, FStop&& Stop, FDescribe&& Describe)
{
	struct sigaction Action = {};
	Action.sa_handler = HandleSignal;
	sigaction(SIGINT, &Action, nullptr);
	sigaction(SIGTERM, &Action, nullptr);

	std::atomic<bool> bFinished{false};
	const auto Start = std::chrono::steady_clock::now();
	std::thread Worker(
	    [&]
	    {
		    Work();
		    bFinished.store(true, std::memory_order_release);
	    });
	const bool bTerminal = isatty(STDERR_FILENO) == 1;
	auto NextRefresh = Start;
	while (!bFinished.load(std::memory_order_acquire))
	{
		if (bSignalled.load(std::memory_order_relaxed))
		{
			Stop();
		}
		const auto Now = std::chrono::steady_clock::now();
		if (bTerminal && Now >= NextRefresh)
		{
			std::fprintf(stderr, "\r%s\033[K", Describe(Now - Start).c_str());
			NextRefresh = Now + std::chrono::milliseconds(250);
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	Worker.join();
	if (bTerminal)
	{
		std::fprintf(stderr, "\r\033[K");
	}
}

/** The relay's part of main, once the options are read: 0 when it ran, 1 when it could not. */
int RunRelay(FSenderRelayOptions Options)
{
	std::string Targets;
	for (const FSenderDestination& Destination : Options.Destinations)
	{
		Targets += (Targets.empty() ? "" : ", ") + Destination.Text;
	}
	const std::string Listen = Options.Listen.Text;
	FSenderRelay Relay(std::move(Options));
	if (const std::string Problem = Relay.Open(); !Problem.empty())
	{
		std::fprintf(stderr, "orvida-send: %s\n", Problem.c_str());
		return 1;
	}
	// Once bound, so that whoever waits for this line may send.
	std::fprintf(stderr, "orvida-send: relaying %s to %s\n", Listen.c_str(), Targets.c_str());
	FSenderRelaySummary Summary;
	RunShowingProgress([&] { Summary = Relay.Run(); }, [&] { Relay.Stop(); },
	                   [&](std::chrono::nanoseconds Elapsed) { return DescribeRelayProgress(Relay.GetProgress(), Elapsed); });
	if (!Summary.Error.empty())
	{
		std::fprintf(stderr, "orvida-send: %s\n", Summary.Error.c_str());
		return 1;
	}
	std::printf("orvida-send: %s\n", Summary.Describe().c_str());
	return 0;
}
} // namespace

int main(int ArgumentCount, char** Arguments)
{
	CLI::App App{"Sends camera messages over UDP, as the camera application does."};
	FSenderOptions Options;
	std::vector<std::string> Destinations;
	std::string RateText = "25", PathText = "orbit", TimecodeText = "00:00:00:00", UnitsText = "cm", AxesText = "none";
	std::optional<int64_t> Take;
	App.add_option("--to", Destinations, "HOST:PORT to send to (an IPv4 address, a multicast group or localhost); repeat for more")->required();
	std::optional<int> Ttl;
	App.add_option("--ttl", Ttl, "Time to live of datagrams to a multicast group (default 1: the local network only)")->check(CLI::Range(0, 255));
	std::string RelayText;
	CLI::Option* const RelayOption =
	    App.add_option("--relay", RelayText, "Send nothing of its own: forward every datagram received on HOST:PORT to each --to, as it came");
	App.add_option("--rate", RateText, "Frame rate: 25, 30000/1001, ...")->capture_default_str();
	CLI::Option* const PathOption = App.add_option("--path", PathText, "A made-up move: orbit, dolly or static")->capture_default_str();
	App.add_option("--replay", Options.ReplayFile, "Replay a take file (.csv), a pcap or pcapng capture, or a trajectory")
	    ->excludes(PathOption)
	    ->excludes(RelayOption);
	PathOption->excludes(RelayOption);
	App.add_option("--scene", Options.Scene, "Scene text carried in every message");
	App.add_option("--slate", Options.Slate, "Slate in every message (default: a take file's own, else A001)");
	App.add_option("--take", Take, "Take number in every message (default: a take file's own, else 1)")->check(CLI::NonNegativeNumber);
	App.add_option("--timecode", TimecodeText, "Timecode of the first made-up frame, HH:MM:SS:FF, non-drop")->capture_default_str();
	App.add_option("--record-after", Options.RecordAfterSeconds, "Say recording from this many seconds on")->check(CLI::NonNegativeNumber);
	App.add_option("--stop-after", Options.StopAfterSeconds, "Say recording until this many seconds")->check(CLI::NonNegativeNumber);
	CLI::Option* const DurationOption = App.add_option("--duration", Options.DurationSeconds, "Stop after this many seconds");
	App.add_option("--count", Options.Count, "Stop after this many messages")->excludes(DurationOption)->check(CLI::NonNegativeNumber);
	App.add_option("--speed", Options.Speed, "Replay speed: 2 plays twice as fast")->capture_default_str();
	App.add_flag("--loop", Options.bLoop, "Start a replay over when it ends");
	App.add_option("--units", UnitsText, "Trajectory positions sent as cm (the file's metres times 100) or m (unchanged)")->capture_default_str();
	App.add_option("--axes", AxesText, "Trajectory axes: none, or yup (right-handed Y up, -Z forward, to X forward, Y right, Z up)")->capture_default_str();
	App.add_option("--port-filter", Options.PortFilter, "Replay only a capture's datagrams to this port")->check(CLI::Range(1, 65535));
	App.add_option("--jitter", Options.Impairments.JitterMilliseconds, "Send each message up to this many milliseconds late");
	App.add_option("--loss", Options.Impairments.LossPercent, "Drop this percentage of messages");
	App.add_option("--reorder", Options.Impairments.ReorderPercent, "Send this percentage of messages after the next one");
	App.add_option("--duplicate", Options.Impairments.DuplicatePercent, "Send this percentage of messages twice");
	App.add_option("--garbage", Options.Impairments.GarbagePercent, "Garble this percentage of messages beyond reading");
	App.add_option("--seed", Options.Impairments.Seed, "Seed of the impairments: the same seed, the same impairments")->capture_default_str();
	try
	{
		App.parse(ArgumentCount, Arguments);
	}
	catch (const CLI::ParseError& Error)
	{
		const int Code = App.exit(Error);
		return Code == 0 ? 0 : 2;
	}

	for (const std::string& Text : Destinations)
	{
		std::optional<FSenderDestination> Destination = FSenderDestination::Parse(Text);
		if (!Destination)
		{
			return Refuse("--to " + Text + ": not HOST:PORT with an IPv4 address or localhost and a port from 1 to 65535");
		}
		Options.Destinations.push_back(std::move(*Destination));
	}
	if (Ttl)
	{
		Options.MulticastTtl = uint8_t(*Ttl);
	}
	if (!RelayText.empty())
	{
		std::optional<FSenderDestination> Listen = FSenderDestination::Parse(RelayText);
		if (!Listen)
		{
			return Refuse("--relay " + RelayText + ": not HOST:PORT with an IPv4 address or localhost and a port from 1 to 65535");
		}
		if (const std::string Problem = Options.Validate(); !Problem.empty())
		{
			return Refuse(Problem);
		}
		return RunRelay(FSenderRelayOptions{std::move(*Listen), std::move(Options.Destinations), Options.MulticastTtl, Options.Count, Options.DurationSeconds});
	}
	const std::optional<FSenderFrameRate> Rate = FSenderFrameRate::Parse(RateText);
	const std::optional<FSenderPath::EKind> Path = FSenderPath::ParseKind(PathText);
	const std::optional<FSenderTrajectoryReader::EUnits> Units = FSenderTrajectoryReader::ParseUnits(UnitsText);
	const std::optional<FSenderTrajectoryReader::EAxes> Axes = FSenderTrajectoryReader::ParseAxes(AxesText);
	if (!Rate)
	{
		return Refuse("--rate " + RateText + ": not a whole number or N/D of whole numbers, up to 1000 frames a second");
	}
	if (!Path)
	{
		return Refuse("--path " + PathText + ": not orbit, dolly or static");
	}
	if (!Units || !Axes)
	{
		return Refuse(!Units ? "--units " + UnitsText + ": not cm or m" : "--axes " + AxesText + ": not none or yup");
	}
	const std::optional<int64_t> StartFrame = FSenderTimecode::Parse(TimecodeText, *Rate);
	if (!StartFrame)
	{
		return Refuse("--timecode " + TimecodeText + ": not HH:MM:SS:FF at the rate");
	}
	Options.Rate = *Rate;
	Options.Path = *Path;
	Options.Units = *Units;
	Options.Axes = *Axes;
	Options.StartFrame = *StartFrame;
	if (Take)
	{
		Options.Take = std::to_string(*Take);
	}
	if (const std::string Problem = Options.Validate(); !Problem.empty())
	{
		return Refuse(Problem);
	}
	FSenderFrameSources::FOpened Opened = FSenderFrameSources::Open(Options);
	if (!Opened.Source)
	{
		return Refuse(Opened.Error);
	}
	if (!Opened.Description.empty())
	{
		std::fprintf(stderr, "orvida-send: %s\n", Opened.Description.c_str());
	}

	FSenderSession Session(Options, std::move(Opened.Source));
	FSenderSummary Summary;
	RunShowingProgress([&] { Summary = Session.Run(); }, [&] { Session.Stop(); },
	                   [&](std::chrono::nanoseconds Elapsed) { return DescribeProgress(Session.GetProgress(), Options, Elapsed); });
	if (!Summary.Error.empty())
	{
		std::fprintf(stderr, "orvida-send: %s\n", Summary.Error.c_str());
		return 1;
	}
	std::printf("orvida-send: %s\n", Summary.Describe().c_str());
	return 0;
}
