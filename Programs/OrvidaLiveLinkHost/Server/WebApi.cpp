#include "Server/WebApi.h"

#include <cstdio>

namespace
{
/** Commands waiting for the game thread at most; a browser sends a few a second. */
constexpr size_t QueueCapacity = 64;

/**
 * The pages, and the libraries they import as npm installed them: from Web/ and Web/node_modules/ beside the
 * executable when installed so, otherwise from the folders in the checkout that the build names.
 */
FHostHttpServer::FMounts FindWebFiles()
{
	std::error_code Error;
	const std::filesystem::path Executable = std::filesystem::read_symlink("/proc/self/exe", Error);
	const bool bInstalled = !Error && std::filesystem::is_directory(Executable.parent_path() / "Web", Error);
	const std::filesystem::path Pages = bInstalled ? Executable.parent_path() / "Web" : std::filesystem::path(ORVIDA_HOST_WEB_DIR);
	const std::filesystem::path Libraries = bInstalled ? Pages / "node_modules" : std::filesystem::path(ORVIDA_HOST_NODE_MODULES_DIR);
	return {{"/", Pages}, {"/vendor/three", Libraries / "three"}, {"/vendor/uplot", Libraries / "uplot" / "dist"}};
}
} // namespace

FHostWebApi::FHostWebApi(const FHostSnapshotBoard& Board, FHostEditor& Editor, FLiveLinkClient& Client, FTakeRecorder& TakeRecorder,
                         TArray<FHostSource>& Sources, FHostPresets& Presets, const FHostLogBuffer& Log, FOrvidaLiveLinkSource::FDatagramTap Tap)
    : Commands(Editor, Client, TakeRecorder, Sources, Presets, Log, std::move(Tap))
    , Queue(QueueCapacity)
    , Server(Board, Queue, FindWebFiles())
{
}

std::unique_ptr<FHostWebApi> FHostWebApi::Start(const FHostHttpEndpoint& Endpoint, const FHostSnapshotBoard& Board, FHostEditor& Editor,
                                                FLiveLinkClient& Client, FTakeRecorder& TakeRecorder, TArray<FHostSource>& Sources, FHostPresets& Presets,
                                                const FHostLogBuffer& Log, FOrvidaLiveLinkSource::FDatagramTap Tap)
{
	std::unique_ptr<FHostWebApi> Web(new FHostWebApi(Board, Editor, Client, TakeRecorder, Sources, Presets, Log, std::move(Tap)));
	const int Port = Web->Server.Start(Endpoint);
	if (Port < 0)
	{
		std::fprintf(stderr, "orvida-livelink: cannot serve on %s:%d\n", Endpoint.Host.c_str(), Endpoint.Port);
		return nullptr;
	}
	const std::string& Token = Web->Server.GetToken();
	if (!Token.empty())
	{
		std::fprintf(stderr, "orvida-livelink: warning: serving on %s, which other machines may reach; every request needs the token in the address below\n",
		             Endpoint.Host.c_str());
		std::printf("serving http://%s:%d/?token=%s\n", Endpoint.Host.c_str(), Port, Token.c_str());
	}
	else
	{
		std::printf("serving http://%s:%d\n", Endpoint.Host.c_str(), Port);
	}
	std::fflush(stdout);
	return Web;
}

FHostWebApi::~FHostWebApi()
{
	Queue.Close();
	Server.Stop();
}

void FHostWebApi::Tick()
{
	Queue.Drain([this](const FHostApiRequest& Request) { return Commands.Execute(Request); });
}
