// The cost of decoding one camera message, bytes in and sample committed, beside a raw simdjson parse that
// reads the same fields (the floor) and nlohmann::json reading the same fields (the usual choice). Two stages
// say where a decode's time goes: simdjson's parse alone, and the engine's parse of the widened text into its
// tree and the tree's release; the rest of a decode is widening, the reads through the tree and the commit.

#include "BenchmarkRatios.h"
#include "Dom/JsonObject.h"
#include "OrvidaCameraMessageDecoder.h"
#include "OrvidaSampleRing.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <simdjson.h>

#include <string>
#include <string_view>

namespace
{
// 218 bytes, the size of what the camera application sends.
const std::string TypicalMessage = R"({"OVDCamera":[{"Version":1,"Location":[100.5,-20.25,150.75],"Rotation":[0,0,0.70710677,0.70710677],)"
								   R"("Scale":[1,1,1],"Lens":[35,250,1.777777,54.432],"Timecode":[86400,25,1],"Metadata":["Scene 4","A004","12"],"State":2}]})";

std::string MessageWithMetadata(size_t StringLength)
{
	const std::string Text(StringLength, 'm');
	return R"({"OVDCamera":[{"Version":1,"Location":[100.5,-20.25,150],"Rotation":[0,0,0.70710677,0.70710677],"Scale":[1,1,1],)"
		   R"("Lens":[35,250,1.777,54.432],"Timecode":[86400,25,1],"Metadata":[")" +
		Text + R"(",")" + Text + R"(",")" + Text + R"("],"State":2}]})";
}

/** What the floor and the usual choice read into: the same fields, without the engine's string types. */
struct FPlainSample
{
	double Location[3] = {};
	double Rotation[4] = {};
	double Scale[3] = {};
	double Lens[4] = {};
	int64_t Timecode[3] = {};
	std::string Metadata[3];
	int64_t State = 0;
};

template <size_t Count, typename ArrayType, typename ElementType>
void ReadNumbers(ArrayType&& Array, ElementType (&Out)[Count])
{
	size_t Index = 0;
	for (auto Element : Array)
	{
		if (Index == Count)
		{
			break;
		}
		Out[Index++] = ElementType(double(Element));
	}
}

bool DecodeWithSimdjson(simdjson::dom::parser& Parser, const simdjson::padded_string& Text, FPlainSample& Out)
{
	simdjson::dom::element Document;
	if (Parser.parse(Text).get(Document))
	{
		return false;
	}
	simdjson::dom::object Record;
	if (Document["OVDCamera"].at(0).get(Record))
	{
		return false;
	}
	ReadNumbers(Record["Location"].get_array(), Out.Location);
	ReadNumbers(Record["Rotation"].get_array(), Out.Rotation);
	ReadNumbers(Record["Scale"].get_array(), Out.Scale);
	ReadNumbers(Record["Lens"].get_array(), Out.Lens);
	ReadNumbers(Record["Timecode"].get_array(), Out.Timecode);
	size_t Index = 0;
	for (auto Element : Record["Metadata"].get_array())
	{
		if (Index < 3)
		{
			Out.Metadata[Index++] = std::string_view(Element);
		}
	}
	Out.State = int64_t(Record["State"]);
	return true;
}

bool DecodeWithNlohmann(const std::string& Text, FPlainSample& Out)
{
	const nlohmann::json Document = nlohmann::json::parse(Text, nullptr, false);
	if (Document.is_discarded())
	{
		return false;
	}
	const nlohmann::json& Record = Document.at("OVDCamera").at(0);
	const auto Read = [&Record](const char* Key, auto& Field) {
		const nlohmann::json& Array = Record.at(Key);
		for (size_t Index = 0; Index < std::size(Field); ++Index)
		{
			Field[Index] = Array.at(Index).get<std::decay_t<decltype(Field[0])>>();
		}
	};
	Read("Location", Out.Location);
	Read("Rotation", Out.Rotation);
	Read("Scale", Out.Scale);
	Read("Lens", Out.Lens);
	Read("Timecode", Out.Timecode);
	Read("Metadata", Out.Metadata);
	Out.State = Record.at("State").get<int64_t>();
	return true;
}

void BM_DecodeAndCommit(benchmark::State& State, const std::string& Message)
{
	FOrvidaCameraMessageDecoder Decoder(true, true, false);
	FOrvidaSampleRing Ring([] { return int64(0); });
	const uint8* Bytes = reinterpret_cast<const uint8*>(Message.data());
	for (auto _ : State)
	{
		const int32 Committed =
		    Decoder.Decode(Bytes, int32(Message.size()), [&Ring](FOrvidaCameraSample&& Sample) { Ring.CommitSample(MoveTemp(Sample)); }).Samples;
		if (Committed != 1)
		{
			State.SkipWithError("the message did not decode");
			return;
		}
	}
	State.SetItemsProcessed(State.iterations());
	State.SetBytesProcessed(State.iterations() * int64_t(Message.size()));
}

void BM_SimdjsonFloor(benchmark::State& State, const std::string& Message)
{
	simdjson::dom::parser Parser;
	const simdjson::padded_string Text(Message);
	FPlainSample Sample;
	for (auto _ : State)
	{
		if (!DecodeWithSimdjson(Parser, Text, Sample))
		{
			State.SkipWithError("the message did not parse");
			return;
		}
		benchmark::DoNotOptimize(Sample);
	}
	State.SetItemsProcessed(State.iterations());
	State.SetBytesProcessed(State.iterations() * int64_t(Message.size()));
}

void BM_Nlohmann(benchmark::State& State, const std::string& Message)
{
	FPlainSample Sample;
	for (auto _ : State)
	{
		if (!DecodeWithNlohmann(Message, Sample))
		{
			State.SkipWithError("the message did not parse");
			return;
		}
		benchmark::DoNotOptimize(Sample);
	}
	State.SetItemsProcessed(State.iterations());
	State.SetBytesProcessed(State.iterations() * int64_t(Message.size()));
}

/** Items as for BM_EngineParseAndRelease below. */
void BM_SimdjsonParseOnly(benchmark::State& State, const std::string& Message, int64_t Items)
{
	simdjson::dom::parser Parser;
	const simdjson::padded_string Text(Message);
	for (auto _ : State)
	{
		simdjson::dom::element Document;
		if (Parser.parse(Text).get(Document))
		{
			State.SkipWithError("the message did not parse");
			return;
		}
		benchmark::DoNotOptimize(Document);
	}
	State.SetItemsProcessed(State.iterations() * Items);
}

/**
 * The text already widened, as the decoder hands it over; each tree goes at the end of its iteration. A message
 * of Items alike members counts as Items items, so that the time per item is the cost of one member.
 */
void BM_EngineParseAndRelease(benchmark::State& State, const std::string& Message, int64_t Items)
{
	FString Text;
	Text.AppendChars(Message.data(), int32(Message.size()));
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
	State.SetItemsProcessed(State.iterations() * Items);
}

/** An object whose one field is an array of Count copies of Member. */
std::string ArrayOf(const std::string& Member, int32_t Count)
{
	std::string Text = R"({"a":[)";
	for (int32_t Index = 0; Index < Count; ++Index)
	{
		Text += (Index == 0 ? "" : ",") + Member;
	}
	return Text + "]}";
}

constexpr int32_t AlikeMembers = 1000;
const std::string LargeMetadataMessage = MessageWithMetadata(1024);
const std::string SixtyKilobyteMessage = MessageWithMetadata(20000);
} // namespace

BENCHMARK_CAPTURE(BM_DecodeAndCommit, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_SimdjsonFloor, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_Nlohmann, Typical, TypicalMessage);
BENCHMARK_CAPTURE(BM_SimdjsonParseOnly, Typical, TypicalMessage, 1);
BENCHMARK_CAPTURE(BM_EngineParseAndRelease, Typical, TypicalMessage, 1);
// What one value costs, without the containers around it: a thousand numbers in one array.
BENCHMARK_CAPTURE(BM_SimdjsonParseOnly, PerNumber, ArrayOf("1.5", AlikeMembers), AlikeMembers);
BENCHMARK_CAPTURE(BM_EngineParseAndRelease, PerNumber, ArrayOf("1.5", AlikeMembers), AlikeMembers);
BENCHMARK_CAPTURE(BM_DecodeAndCommit, Metadata1KB, LargeMetadataMessage);
BENCHMARK_CAPTURE(BM_SimdjsonFloor, Metadata1KB, LargeMetadataMessage);
BENCHMARK_CAPTURE(BM_DecodeAndCommit, Datagram60KB, SixtyKilobyteMessage);
BENCHMARK_CAPTURE(BM_SimdjsonFloor, Datagram60KB, SixtyKilobyteMessage);

int main(int ArgumentCount, char** Arguments)
{
	return OrvidaBenchmark::RunWithRatios(ArgumentCount, Arguments,
		{
			{"BM_DecodeAndCommit/Typical", "BM_SimdjsonFloor/Typical", "decode / simdjson floor, typical message (target <= 2.5)"},
			{"BM_Nlohmann/Typical", "BM_DecodeAndCommit/Typical", "nlohmann / decode, typical message (target >= 4)"},
			{"BM_DecodeAndCommit/Metadata1KB", "BM_SimdjsonFloor/Metadata1KB", "decode / simdjson floor, 1 KB metadata strings"},
			{"BM_DecodeAndCommit/Datagram60KB", "BM_SimdjsonFloor/Datagram60KB", "decode / simdjson floor, 60 KB datagram"},
			{"BM_SimdjsonParseOnly/Typical", "BM_SimdjsonFloor/Typical", "stage: simdjson parse alone / simdjson floor"},
			{"BM_EngineParseAndRelease/Typical", "BM_SimdjsonFloor/Typical", "stage: engine parse and release / simdjson floor"},
			{"BM_EngineParseAndRelease/PerNumber", "BM_SimdjsonParseOnly/PerNumber", "per number: engine parse and release / simdjson parse"},
		});
}
