#include "Server/HttpServer.h"

#include "Server/ApiJson.h"
#include "Server/EventStream.h"

#include <httplib.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

using nlohmann::json;

namespace
{
void WriteJson(httplib::Response& Response, int Status, const json& Body)
{
	Response.status = Status;
	Response.set_content(Body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
}

void WriteError(httplib::Response& Response, int Status, const std::string& Message) { WriteJson(Response, Status, {{"error", Message}}); }

/** Why the server itself refused a request that no route answered, from what the library could read of it. */
std::string RefusalText(int Status, const httplib::Request& Request)
{
	switch (Status)
	{
	case 404:
		return "nothing at " + Request.path;
	case 413:
		return "the body is larger than 64 KiB";
	case 400:
		if (Request.method.empty() || Request.version.empty())
		{
			return "the request line is not METHOD PATH HTTP/1.1";
		}
		if (Request.version != "HTTP/1.1" && Request.version != "HTTP/1.0")
		{
			return "only HTTP/1.0 and HTTP/1.1 are served, not '" + Request.version + "'";
		}
		return "a header line is malformed or too long, or the chunked body's framing is broken";
	default:
		return "the request was refused (" + std::to_string(Status) + ")";
	}
}

/** A route's handler, with the request's body as read within the bound (empty for a method without one). */
using FRouteHandler = std::function<void(const httplib::Request&, const std::string&, httplib::Response&)>;

/**
 * The body, read a piece at a time so that one over MaxBytes is refused when it passes the bound, however it is
 * framed: the library bounds only a body that states its length. None when it is too large or cannot be read, with
 * the refusal written.
 */
std::optional<std::string> ReadBoundedBody(const httplib::Request& Request, const httplib::ContentReader& Reader, size_t MaxBytes, httplib::Response& Response)
{
	if (Request.get_header_value<uint64_t>("Content-Length") > MaxBytes)
	{
		WriteError(Response, 413, "the body is larger than 64 KiB");
		return std::nullopt;
	}
	std::string Body;
	bool bTooLarge = false;
	const bool bRead = Reader(
	    [&](const char* Data, size_t Length)
	    {
		    bTooLarge = Body.size() + Length > MaxBytes;
		    if (!bTooLarge)
		    {
			    Body.append(Data, Length);
		    }
		    return !bTooLarge;
	    });
	if (!bRead)
	{
		WriteError(Response, bTooLarge ? 413 : 400, bTooLarge ? "the body is larger than 64 KiB" : "the body ended before its stated length or framing");
		return std::nullopt;
	}
	return Body;
}
/** A handler that reads the body within its bound, marks the request as read and hands the body to Then; 413 or 400 otherwise. */
httplib::Server::HandlerWithContentReader ReadingBody(FRouteHandler Then, FHostConnectionWatch& Watch)
{
	return [&Watch, Then = std::move(Then)](const httplib::Request& Request, httplib::Response& Response, const httplib::ContentReader& Reader)
	{
		if (const std::optional<std::string> Body = ReadBoundedBody(Request, Reader, FHostHttpServer::MaxBodyBytes, Response))
		{
			Watch.MarkRequestRead(Request.remote_addr, Request.remote_port);
			Then(Request, *Body, Response);
		}
	};
}
} // namespace

FHostHttpServer::FHostHttpServer(const FHostSnapshotBoard& InBoard, FHostRequestQueue& InQueue, FMounts InMounts)
    : Board(InBoard)
    , Queue(InQueue)
    , Mounts(std::move(InMounts))
    , Server(std::make_unique<httplib::Server>())
{
}

FHostHttpServer::~FHostHttpServer() { Stop(); }

int FHostHttpServer::Start(const FHostHttpEndpoint& Endpoint)
{
	Server->set_payload_max_length(MaxBodyBytes);
	Server->new_task_queue = [] { return new httplib::ThreadPool(ServerThreads); };
	// One request a connection: an idle kept-alive connection would hold a thread, and a second request on it would
	// come after the watch has let the connection go. Over the loopback a new connection costs little.
	Server->set_keep_alive_max_count(1);
	Server->set_error_handler(
	    [](const httplib::Request& Request, httplib::Response& Response)
	    {
		    if (Response.body.empty())
		    {
			    WriteError(Response, Response.status, RefusalText(Response.status, Request));
		    }
	    });
	Server->set_exception_handler([](const httplib::Request&, httplib::Response& Response, std::exception_ptr)
	                              { WriteError(Response, 500, "internal error"); });
	// Debian's library compresses every text, script and JSON answer with brotli at its slowest setting when the
	// browser offers it: seconds of CPU for three.js alone, and as long again for a long take's CSV. Over the
	// loopback compression saves nothing, so the offer is taken out before any handler sees it. The request is
	// the server's own, not a const object, so changing it here is sound.
	Server->set_pre_routing_handler(
	    [this](const httplib::Request& Request, httplib::Response& Response)
	    {
		    const_cast<httplib::Request&>(Request).headers.erase("Accept-Encoding");
		    return Admit(Request, Response) ? httplib::Server::HandlerResponse::Unhandled : httplib::Server::HandlerResponse::Handled;
	    });
	AddRoutes();
	for (const auto& [Prefix, Folder] : Mounts)
	{
		Server->set_mount_point(Prefix, Folder.string());
	}
	const int Port = Endpoint.Port == 0 ? Server->bind_to_any_port(Endpoint.Host) : (Server->bind_to_port(Endpoint.Host, Endpoint.Port) ? Endpoint.Port : -1);
	if (Port < 0)
	{
		return -1;
	}
	FHostHttpEndpoint Bound = Endpoint;
	Bound.Port = Port;
	Token = Endpoint.IsLoopback() ? std::string() : FHostRequestGate::MakeToken();
	Gate.emplace(Bound, Token);
	Watch.Start(Port);
	ListenThread = std::thread([this] { Server->listen_after_bind(); });
	return Port;
}

void FHostHttpServer::Stop()
{
	bStopping.store(true);
	Server->stop();
	if (ListenThread.joinable())
	{
		ListenThread.join();
	}
	Watch.Stop();
}

bool FHostHttpServer::Admit(const httplib::Request& Request, httplib::Response& Response)
{
	if (const std::optional<FHostRequestGate::FRefusal> Refusal = Gate->Check(Request))
	{
		WriteError(Response, Refusal->Status, Refusal->Reason);
		return false;
	}
	if (Gate->HasTokenInQuery(Request))
	{
		// The page the printed address opens keeps the token for its own requests, and no other site's page can read it.
		Response.set_header("Set-Cookie", std::string(FHostRequestGate::TokenCookie) + "=" + Token + "; Path=/; HttpOnly; SameSite=Strict");
	}
	// A request that may carry a body is read in full only by its route, which marks it then.
	if (Request.method != "POST" && Request.method != "PUT" && Request.method != "PATCH")
	{
		Watch.MarkRequestRead(Request.remote_addr, Request.remote_port);
	}
	return true;
}

void FHostHttpServer::AddRoutes()
{
	using ECommand = FHostApiRequest::ECommand;
	const auto Command = [this](ECommand Which) {
		return [this, Which](const httplib::Request& Request, const std::string& Body, httplib::Response& Response)
		{ Forward(Which, Request, Body, Response); };
	};
	// By path pattern, then method. A known path asked with another method answers 405.
	const std::vector<std::pair<std::string, std::map<std::string, FRouteHandler>>> Routes = {
	    {"/api/state", {{"GET", [this](const httplib::Request&, const std::string&, httplib::Response& Response) { ServeState(Response); }}}},
	    {"/api/events", {{"GET", [this](const httplib::Request&, const std::string&, httplib::Response& Response) { ServeEvents(Response); }}}},
	    {"/api/panels", {{"POST", Command(ECommand::OpenPanel)}}},
	    {R"(/api/panels/([^/]+)/events)", {{"POST", Command(ECommand::PanelEvent)}}},
	    {R"(/api/panels/([^/]+))", {{"DELETE", Command(ECommand::ClosePanel)}}},
	    {R"(/api/sources/([^/]+))", {{"DELETE", Command(ECommand::RemoveSource)}}},
	    {R"(/api/sources/([^/]+)/subject)", {{"PUT", Command(ECommand::EnableSubject)}}},
	    {R"(/api/sources/([^/]+)/settings)", {{"PUT", Command(ECommand::SourceSettings)}}},
	    {"/api/preset/save", {{"POST", Command(ECommand::PresetSave)}}},
	    {"/api/preset/load", {{"POST", Command(ECommand::PresetLoad)}}},
	    {"/api/take/panel", {{"POST", Command(ECommand::TakePanel)}}},
	    {"/api/take/start", {{"POST", Command(ECommand::TakeStart)}}},
	    {"/api/take/stop", {{"POST", Command(ECommand::TakeStop)}}},
	    {"/api/take/metadata", {{"PUT", Command(ECommand::TakeMetaData)}}},
	    {R"(/api/takes/([^/]+))",
	     {{"GET", [this](const httplib::Request& Request, const std::string&, httplib::Response& Response) { ServeTakeFile(Request.matches[1], Response); }}}},
	    {"/api/settings", {{"PUT", Command(ECommand::Settings)}}},
	    {R"(/api/.*)", {}},
	};
	for (const auto& [Pattern, Methods] : Routes)
	{
		const auto Dispatch = [Methods](const httplib::Request& Request, const std::string& Body, httplib::Response& Response)
		{
			const auto Found = Methods.find(Request.method);
			if (Found != Methods.end())
			{
				Found->second(Request, Body, Response);
				return;
			}
			if (Methods.empty())
			{
				WriteError(Response, 404, "no API at " + Request.path);
				return;
			}
			std::string Allowed;
			for (const auto& Entry : Methods)
			{
				Allowed += (Allowed.empty() ? "" : ", ") + Entry.first;
			}
			Response.set_header("Allow", Allowed);
			WriteError(Response, 405, Request.method + " is not allowed on " + Request.path + "; use " + Allowed);
		};
		const auto WithoutBody = [Dispatch](const httplib::Request& Request, httplib::Response& Response) { Dispatch(Request, std::string(), Response); };
		Server->Get(Pattern, WithoutBody);
		Server->Delete(Pattern, WithoutBody);
		Server->Post(Pattern, ReadingBody(Dispatch, Watch));
		Server->Put(Pattern, ReadingBody(Dispatch, Watch));
		Server->Patch(Pattern, ReadingBody(Dispatch, Watch));
	}
	// Any other path: the library would read the body whole, without a bound, before it found no route.
	const httplib::Server::HandlerWithContentReader Nowhere = ReadingBody([](const httplib::Request& Request, const std::string&, httplib::Response& Response)
	                                                                      { WriteError(Response, 404, "nothing at " + Request.path); },
	                                                                      Watch);
	Server->Post(".*", Nowhere);
	Server->Put(".*", Nowhere);
	Server->Patch(".*", Nowhere);
}

void FHostHttpServer::ServeState(httplib::Response& Response) const
{
	const std::shared_ptr<const FHostSnapshot> Snapshot = Board.Read();
	if (!Snapshot)
	{
		WriteError(Response, 503, "the host has not finished starting");
		return;
	}
	WriteJson(Response, 200, FHostApiJson::FromSnapshot(*Snapshot));
}

void FHostHttpServer::ServeEvents(httplib::Response& Response)
{
	if (EventStreams.fetch_add(1) >= MaxEventStreams)
	{
		EventStreams.fetch_sub(1);
		WriteError(Response, 503, "too many event streams are open");
		return;
	}
	Response.set_header("Cache-Control", "no-cache");
	auto Stream = std::make_shared<FHostEventStream>(Board, bStopping);
	Response.set_chunked_content_provider(
	    "text/event-stream", [Stream](size_t, httplib::DataSink& Sink) { return Stream->Send(Sink); }, [this](bool) { EventStreams.fetch_sub(1); });
}

void FHostHttpServer::ServeTakeFile(const std::string& FileName, httplib::Response& Response) const
{
	// Only the files of the takes recorded are served, found by their exact name: no path reaches anything else.
	const std::shared_ptr<const FHostSnapshot> Snapshot = Board.Read();
	const FHostTakeFileSnapshot* Take = nullptr;
	if (Snapshot)
	{
		const std::vector<FHostTakeFileSnapshot>& Takes = *Snapshot->Takes;
		const auto Found = std::find_if(Takes.begin(), Takes.end(), [&](const FHostTakeFileSnapshot& Candidate) { return Candidate.FileName == FileName; });
		Take = Found != Takes.end() ? &*Found : nullptr;
	}
	std::ifstream File;
	if (Take != nullptr)
	{
		File.open(Take->Path, std::ios::binary);
	}
	if (!File.is_open())
	{
		WriteError(Response, 404, Take == nullptr ? "no take " + FileName + " was recorded" : "the take file " + FileName + " cannot be read");
		return;
	}
	std::ostringstream Content;
	Content << File.rdbuf();
	Response.set_header("Content-Disposition", "attachment; filename=\"" + FileName + "\"");
	Response.set_content(Content.str(), "text/csv");
}

void FHostHttpServer::Forward(FHostApiRequest::ECommand Command, const httplib::Request& Request, const std::string& Body, httplib::Response& Response)
{
	FHostApiRequest Queued;
	Queued.Command = Command;
	Queued.PathId = Request.matches.size() > 1 ? Request.matches[1].str() : std::string();
	if (!Body.empty())
	{
		Queued.Body = json::parse(Body, nullptr, false);
		if (Queued.Body.is_discarded())
		{
			WriteError(Response, 400, "the body is not valid JSON");
			return;
		}
	}
	std::optional<std::future<FHostApiReply>> Reply = Queue.Push(std::move(Queued));
	if (!Reply)
	{
		WriteError(Response, 503, "the game thread has too many requests waiting; try again");
		return;
	}
	if (Reply->wait_for(ReplyTimeout) != std::future_status::ready)
	{
		WriteError(Response, 504, "the game thread did not answer in time");
		return;
	}
	const FHostApiReply Answer = Reply->get();
	WriteJson(Response, Answer.Status, Answer.Body);
}
