// orvida-livelink: the stand-in editor. It runs the plug-in's module and sources as the editor would, reports on
// them, and has the decode and settings commands.

// CLI11 comes first: the engine's check() macro would otherwise rewrite its member functions of that name.
#include <CLI/CLI.hpp>

#include "Commands/DecodeCommand.h"
#include "Commands/SettingsCommand.h"
#include "Editor/HostText.h"
#include "Editor/RunCommand.h"
#include "OrvidaEndpointText.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace
{
/**
 * The --source and --connect requests in the order given, one --subject naming every panel source or one --subject
 * for each --source, in their order; false, with a line on standard error, for a --source that is no endpoint or
 * subjects that match neither.
 */
bool MakeSourceRequests(const std::vector<std::string>& PanelEndpoints, const std::vector<std::string>& ConnectionStrings,
                        const std::vector<std::string>& SubjectNames, const FHostPanelChoices& Options, bool bWithDefault,
                        std::vector<FHostSourceRequest>& OutRequests)
{
	if (SubjectNames.size() > 1 && SubjectNames.size() != PanelEndpoints.size())
	{
		std::fprintf(stderr, "orvida-livelink: %zu --subject for %zu --source: give one for all of them or one for each\n", SubjectNames.size(),
		             PanelEndpoints.size());
		return false;
	}
	FHostPanelChoices Named = Options;
	if (SubjectNames.size() == 1)
	{
		Named.SubjectName = ToFString(SubjectNames[0]);
	}
	for (size_t Index = 0; Index < PanelEndpoints.size(); ++Index)
	{
		const std::string& Endpoint = PanelEndpoints[Index];
		FIPv4Endpoint Parsed;
		FIPv4Address Interface;
		if (!FOrvidaEndpointText::ParseSourceEndpoint(ToFString(Endpoint), Parsed, Interface))
		{
			std::fprintf(stderr, "orvida-livelink: \"%s\" is not an endpoint of the form a.b.c.d:port (or group:port@interface)\n", Endpoint.c_str());
			return false;
		}
		FHostSourceRequest& Request = OutRequests.emplace_back();
		Request.Choices = Named;
		Request.Choices.EndpointText = ToFString(Endpoint);
		if (SubjectNames.size() > 1)
		{
			Request.Choices.SubjectName = ToFString(SubjectNames[Index]);
		}
	}
	for (const std::string& ConnectionString : ConnectionStrings)
	{
		FHostSourceRequest& Request = OutRequests.emplace_back();
		Request.Path = FHostSourceRequest::EPath::ConnectionString;
		Request.ConnectionString = ToFString(ConnectionString);
	}
	if (OutRequests.empty() && bWithDefault)
	{
		OutRequests.emplace_back().Choices = Named;
	}
	return true;
}
} // namespace

int main(int ArgumentCount, char** Arguments)
{
	CLI::App App{"The stand-in editor: receives Orvida camera messages through the plug-in's Live Link source."};
	std::string ProjectDir;
	std::vector<std::string> PanelEndpoints;
	std::vector<std::string> ConnectionStrings;
	FHostPanelChoices PanelOptions;
	FHostRunOptions RunOptions;
	App.add_option("--project", ProjectDir, "the project folder (default: the current folder)");
	App.add_option("--source,--connection,-c", PanelEndpoints,
	               "a source made through the creation panel, listening on a.b.c.d:port, or on a multicast group as group:port or group:port@interface-address "
	               "(repeatable)");
	App.add_option("--connect", ConnectionStrings, "a source made from a connection string, as the editor restores one (repeatable)");
	std::vector<std::string> SubjectNames;
	App.add_option("--subject", SubjectNames,
	               "type TEXT into \"Subject Name\" in the creation panel: once for every source made here, or once for each --source in their order "
	               "(blank: the project's default; the engine enables one subject of a name)");
	App.add_flag("--lens,!--no-lens", PanelOptions.bAutoLens, "tick or untick \"Auto Lens Update\" in the creation panel");
	App.add_flag("--take,!--no-take", PanelOptions.bAutoSceneTakeUpdate, "tick or untick \"Auto Scene/Take\" in the creation panel");
	App.add_flag("--record,!--no-record", PanelOptions.bAutoRecord, "tick or untick \"Auto Record\" in the creation panel");
	App.add_option("--tick-rate", RunOptions.TickRate, "game thread ticks per second")->capture_default_str();
	App.add_option("--seconds", RunOptions.Seconds, "stop after this many seconds (0: run until interrupted)");
	App.add_flag("--console", RunOptions.bConsole, "print one line per source per second");
	App.add_flag("--demo", RunOptions.bDemo,
	             "also play the camera application into the first source: an orbit at 25 fps, take DEMO #1 recording from 5 s to 20 s");
	App.add_flag("--take-panel", RunOptions.bTakePanel, "open the Take Recorder panel at start-up (the plug-in's take automation needs it open)");
	App.add_option("--countdown", RunOptions.CountdownSeconds, "the Take Recorder's countdown before a take records, in seconds (0 to 3600)")
	    ->capture_default_str()
	    ->transform(CLI::Range(0.0, 3600.0));
	App.add_option("--capture", RunOptions.CapturePath, "write every datagram every source receives to this pcap file (raw IPv4, nanosecond timestamps)");
	App.add_option("--preset", RunOptions.PresetPath,
	               "the Live Link preset file: its sources are made at start when it exists (in place of --source and --connect), and the browser's "
	               "\"Save preset\" and \"Load preset\" use it");
	std::string HttpAddress;
	App.add_option(
	       "--http", HttpAddress,
	       "serve the web API and the browser UI on HOST:PORT (port 0: the system picks; an address other than 127.x.x.x is reachable from other machines)")
	    ->expected(0, 1)
	    ->default_str("127.0.0.1:8090");
	App.require_subcommand(0, 1);

	FDecodeCommandOptions DecodeOptions;
	CLI::App* Decode = App.add_subcommand("decode", "decode one datagram as the source would and print the sample");
	Decode->add_option("file", DecodeOptions.Path, "the datagram's bytes; - for standard input")->capture_default_str();
	Decode->add_flag("--lens", DecodeOptions.bAutoLens, "decode as a source with lens update on");
	Decode->add_flag("--take", DecodeOptions.bTakeOptions, "decode as a source with scene/take update on");

	FHostSettingsCommand SettingsCommand;
	CLI::App* Settings = App.add_subcommand("settings", "list, get or set the plug-in's project settings");
	Settings->require_subcommand(1);
	Settings->fallthrough();
	Settings->add_subcommand("list", "print every setting as Key=Value")->fallthrough();
	CLI::App* Get = Settings->add_subcommand("get", "print one setting's value");
	Get->add_option("key", SettingsCommand.Argument)->required();
	Get->fallthrough();
	CLI::App* Set = Settings->add_subcommand("set", "change one setting and save it to the project");
	Set->add_option("assignment", SettingsCommand.Argument, "KEY=VALUE")->required();
	Set->fallthrough();

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
	if (Settings->parsed())
	{
		SettingsCommand.ProjectDir = ToFString(ProjectDir);
		SettingsCommand.Action = Get->parsed()   ? FHostSettingsCommand::EAction::Get
		                         : Set->parsed() ? FHostSettingsCommand::EAction::Set
		                                         : FHostSettingsCommand::EAction::List;
		return RunSettingsCommand(SettingsCommand);
	}

	if (!(RunOptions.Seconds >= 0.0) || !std::isfinite(RunOptions.Seconds))
	{
		std::fprintf(stderr, "orvida-livelink: --seconds takes a number of seconds, 0 or more\n");
		return 2;
	}
	if (!(RunOptions.TickRate > 0.0) || !std::isfinite(RunOptions.TickRate))
	{
		std::fprintf(stderr, "orvida-livelink: --tick-rate takes a positive number of ticks per second\n");
		return 2;
	}
	if (App.count("--http") > 0)
	{
		RunOptions.Http = FHostHttpEndpoint::Parse(HttpAddress.empty() ? "127.0.0.1:8090" : HttpAddress);
		if (!RunOptions.Http)
		{
			std::fprintf(stderr, "orvida-livelink: --http takes HOST:PORT with a port from 0 to 65535, not \"%s\"\n", HttpAddress.c_str());
			return 2;
		}
	}
	RunOptions.ProjectDir = ToFString(ProjectDir);
	// In the browser the user adds sources; without it the host makes one from the project settings.
	// In the browser sources are added by hand, so --http alone starts with none; the demo needs one to play into.
	if (!MakeSourceRequests(PanelEndpoints, ConnectionStrings, SubjectNames, PanelOptions, !RunOptions.Http || RunOptions.bDemo, RunOptions.Sources))
	{
		return 2;
	}
	return RunHost(RunOptions);
}
