// The cost of decoding one camera message, split into what the plug-in does and what the engine's JSON reader
// does, against a bare recvfrom of the same datagram measured in the same run.
//
// The plug-in's share is the depth pre-check, the UTF-8 decode, the reads through the parsed tree and the commit
// into the ring: what ships, and what we tune. The engine's parse of the text into its tree and the tree's
// release is the reader's cost, which the plug-in cannot change. The whole decode is both, end to end.

#include "BenchmarkRatios.h"
#include "Dom/JsonObject.h"
#include "OrvidaCameraMessageDecoder.h"
#include "OrvidaJsonNesting.h"
#include "OrvidaSampleRing.h"
#include "OrvidaUtf8Text.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// 218 bytes, the size of what the camera application sends.
const std::string TypicalMessage = R"({"OVDCamera":[{"Version":1,"Location":[100.5,-20.25,150.75],"Rotation":[0,0,0.70710677,0.70710677],)"
                                   R"("Scale":[1,1,1],"Lens":[35,250,1.777777,54.432],"Timecode":[86400,25,1],"Metadata":["Scene 4","A004","12"],"State":2}]})";

/** A message whose three metadata strings hold StringLength characters each, to show how the costs grow. */
std::string MessageWithMetadata(size_t StringLength)
{
	const std::string Text(StringLength, 'm');
	return R"({"OVDCamera":[{"Version":1,"Location":[100.5,-20.25,150],"Rotation":[0,0,0.70710677,0.70710677],"Scale":[1,1,1],)"
	       R"("Lens":[35,250,1.777,54.432],"Timecode":[86400,25,1],"Metadata":[")" +
	       Text + R"(",")" + Text + R"(",")" + Text + R"("],"State":2}]})";
}

const uint8* BytesOf(const std::string& Message) { return reinterpret_cast<const uint8*>(Message.data()); }

void CountItems(benchmark::State& State, const std::string& Message)
{
	State.SetItemsProcessed(State.iterations());
	State.SetBytesProcessed(State.iterations() * int64_t(Message.size()));
}

void BM_WholeDecode(benchmark::State& State, const std::string& Message)
{
	FOrvidaCameraMessageDecoder Decoder(true);
	FOrvidaSampleRing Ring([] { return int64(0); });
	for (auto _ : State)
	{
		if (Decoder.Decode(BytesOf(Message), int32(Message.size()), [&Ring](FOrvidaCameraSample&& Sample) { Ring.CommitSample(MoveTemp(Sample)); }).Samples !=
		    1)
		{
			State.SkipWithError("the message did not decode");
			return;
		}
	}
	CountItems(State, Message);
}

/** Everything of a decode but the engine's parse and release: the tree is parsed once, outside the loop. */
void BM_PluginShare(benchmark::State& State, const std::string& Message)
{
	FOrvidaCameraMessageDecoder Decoder(true);
	FOrvidaSampleRing Ring([] { return int64(0); });
	TSharedPtr<FJsonObject> Parsed;
	if (!FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FOrvidaUtf8Text::Decode(BytesOf(Message), int32(Message.size()))), Parsed))
	{
		State.SkipWithError("the message did not parse");
		return;
	}
	for (auto _ : State)
	{
		benchmark::DoNotOptimize(FOrvidaJsonNesting::IsTooDeep(BytesOf(Message), int32(Message.size())));
		benchmark::DoNotOptimize(FOrvidaUtf8Text::Decode(BytesOf(Message), int32(Message.size())));
		Decoder.DecodeMessage(*Parsed, [&Ring](FOrvidaCameraSample&& Sample) { Ring.CommitSample(MoveTemp(Sample)); });
	}
	CountItems(State, Message);
}

/** The parts of the plug-in's share one by one, so that a change shows where it lands. */
void BM_DepthCheck(benchmark::State& State, const std::string& Message)
{
	for (auto _ : State)
	{
		benchmark::DoNotOptimize(FOrvidaJsonNesting::IsTooDeep(BytesOf(Message), int32(Message.size())));
	}
	CountItems(State, Message);
}

void BM_Utf8Decode(benchmark::State& State, const std::string& Message)
{
	for (auto _ : State)
	{
		benchmark::DoNotOptimize(FOrvidaUtf8Text::Decode(BytesOf(Message), int32(Message.size())));
	}
	CountItems(State, Message);
}

/** The engine's cost: the text as the decoder hands it over, parsed into the tree, which goes at the end of each iteration. */
void BM_EngineParseAndRelease(benchmark::State& State, const std::string& Message)
{
	const FString Text = FOrvidaUtf8Text::Decode(BytesOf(Message), int32(Message.size()));
	for (auto _ : State)
	{
		TSharedPtr<FJsonObject> Object;
		if (!FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Object))
		{
			State.SkipWithError("the message did not parse");
			return;
		}
		benchmark::DoNotOptimize(Object);
	}
	CountItems(State, Message);
}

/**
 * The baseline: one recvfrom of the same datagram from a loopback socket, with nothing done to it. Each iteration
 * queues a burst (not timed), then times only the receives.
 */
void BM_BareRecvFrom(benchmark::State& State, const std::string& Message)
{
	constexpr int32_t BurstSize = 64;
	const int Receiver = ::socket(AF_INET, SOCK_DGRAM, 0);
	const int Sender = ::socket(AF_INET, SOCK_DGRAM, 0);
	sockaddr_in Address{};
	Address.sin_family = AF_INET;
	Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	socklen_t AddressLength = sizeof(Address);
	const int BufferBytes = 4 * 1024 * 1024;
	::setsockopt(Receiver, SOL_SOCKET, SO_RCVBUF, &BufferBytes, sizeof(BufferBytes));
	if (Receiver < 0 || Sender < 0 || ::bind(Receiver, reinterpret_cast<sockaddr*>(&Address), sizeof(Address)) != 0 ||
	    ::getsockname(Receiver, reinterpret_cast<sockaddr*>(&Address), &AddressLength) != 0)
	{
		State.SkipWithError("no loopback socket");
		return;
	}
	std::string Buffer(65536, '\0');
	for (auto _ : State)
	{
		for (int32_t Index = 0; Index < BurstSize; ++Index)
		{
			::sendto(Sender, Message.data(), Message.size(), 0, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address));
		}
		const auto Start = std::chrono::steady_clock::now();
		for (int32_t Index = 0; Index < BurstSize; ++Index)
		{
			sockaddr_in From{};
			socklen_t FromLength = sizeof(From);
			if (::recvfrom(Receiver, Buffer.data(), Buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&From), &FromLength) != ssize_t(Message.size()))
			{
				State.SkipWithError("a datagram went missing on the loopback");
				break;
			}
		}
		State.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
	}
	::close(Receiver);
	::close(Sender);
	State.SetItemsProcessed(State.iterations() * BurstSize);
}

const std::string LargeMetadataMessage = MessageWithMetadata(1024);
} // namespace

BENCHMARK_CAPTURE(BM_BareRecvFrom, Typical, TypicalMessage)->UseManualTime();
BENCHMARK_CAPTURE(BM_WholeDecode, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_PluginShare, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_EngineParseAndRelease, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_DepthCheck, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_Utf8Decode, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_WholeDecode, Metadata1KB, LargeMetadataMessage);
BENCHMARK_CAPTURE(BM_PluginShare, Metadata1KB, LargeMetadataMessage);

int main(int ArgumentCount, char** Arguments)
{
	return OrvidaBenchmark::RunWithRatios(
	    ArgumentCount, Arguments,
	    {
	        {"BM_PluginShare/Typical", "BM_BareRecvFrom/Typical/manual_time", "plug-in's share of a decode / bare recvfrom (target <= 0.4)"},
	        {"BM_WholeDecode/Typical", "BM_BareRecvFrom/Typical/manual_time", "whole decode / bare recvfrom"},
	        {"BM_EngineParseAndRelease/Typical", "BM_BareRecvFrom/Typical/manual_time", "engine's parse and release / bare recvfrom"},
	        {"BM_DepthCheck/Typical", "BM_BareRecvFrom/Typical/manual_time", "depth pre-check / bare recvfrom"},
	        {"BM_Utf8Decode/Typical", "BM_BareRecvFrom/Typical/manual_time", "UTF-8 decode / bare recvfrom"},
	        {"BM_PluginShare/Metadata1KB", "BM_WholeDecode/Metadata1KB", "plug-in's share / whole decode, 1 KB metadata strings"},
	    });
}
