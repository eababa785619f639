#include "Server/EventStream.h"

#include "Server/ApiJson.h"

#include <httplib.h>

#include <thread>

FHostEventStream::FHostEventStream(const FHostSnapshotBoard& InBoard, const std::atomic<bool>& bInStopping)
    : Board(InBoard)
    , bStopping(bInStopping)
    , NextSend(std::chrono::steady_clock::now())
{
}

bool FHostEventStream::Send(httplib::DataSink& Sink)
{
	std::this_thread::sleep_until(NextSend);
	NextSend = std::max(NextSend + Period, std::chrono::steady_clock::now());
	if (bStopping.load())
	{
		Sink.done();
		return true;
	}
	std::shared_ptr<const FHostSnapshot> Snapshot = Board.Read();
	if (!Snapshot || Snapshot == LastSent)
	{
		return Sink.is_writable();
	}
	const std::string Event =
	    "event: state\ndata: " + FHostApiJson::FromSnapshot(*Snapshot).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n\n";
	LastSent = std::move(Snapshot);
	return Sink.write(Event.data(), Event.size());
}
