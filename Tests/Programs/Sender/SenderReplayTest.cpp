#include "OrvidaCameraSamplePrinter.h"
#include "SenderFrameSources.h"
#include "SenderSession.h"
#include "SenderTestDecoding.h"
#include "SenderTestLoopback.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <filesystem>
#include <fstream>

using namespace std::chrono_literals;

namespace
{
/** What a replay session sent, and the deadlines its pacer was given. */
struct FReplayRun
{
	std::vector<std::chrono::nanoseconds> Deadlines;
	std::vector<std::string> Datagrams;
};

FReplayRun RunReplay(FSenderOptions Options)
{
	FLoopbackReceiver Receiver;
	FRecordingClock Clock(Receiver);
	Options.Destinations = {Receiver.GetDestination()};
	FSenderFrameSources::FOpened Opened = FSenderFrameSources::Open(Options);
	EXPECT_TRUE(Opened.Source) << Opened.Error;
	if (!Opened.Source)
	{
		return {};
	}
	const FSenderSummary Summary = FSenderSession(Options, std::move(Opened.Source), Clock).Run();
	EXPECT_TRUE(Receiver.WaitFor(size_t(Summary.Datagrams)));
	return {Clock.Deadlines, Receiver.Datagrams};
}

std::string WriteFile(const std::string& Name, const std::string& Text)
{
	const std::string Path = testing::TempDir() + Name;
	std::ofstream(Path, std::ios::binary) << Text;
	return Path;
}

std::vector<FOrvidaCameraSample> Decoded(const FReplayRun& Run)
{
	std::vector<FOrvidaCameraSample> Samples;
	for (const std::string& Datagram : Run.Datagrams)
	{
		Samples.push_back(DecodeDatagram(Datagram).value_or(FOrvidaCameraSample()));
	}
	return Samples;
}
} // namespace

TEST(SenderReplay, TrajectoryKeepsItsOrderTimingAndAxes)
{
	const std::string Path = WriteFile("trajectory.txt", "# ground truth\n# timestamp tx ty tz qx qy qz qw\n"
	                                                     "100.0 1 2 3 0 0 0 1\n\n100.5 1.5 2 3 0 0.70710678 0 0.70710678\n101.25 -1 0.5 0.25 0 0 0 1\n");
	struct FCase
	{
		FSenderTrajectoryReader::EUnits Units;
		FSenderTrajectoryReader::EAxes Axes;
		double Speed;
		std::vector<std::chrono::nanoseconds> Deadlines;
		std::array<float, 3> SecondLocation;
		std::array<float, 4> SecondRotation;
	};
	// Turning left (+90 degrees about up) in Y-up axes is turning left (-90 degrees about Z) in the engine's.
	const FCase Cases[] = {
	    {FSenderTrajectoryReader::EUnits::Centimetres,
	     FSenderTrajectoryReader::EAxes::None,
	     1.0,
	     {0ns, 500ms, 1250ms},
	     {150, 200, 300},
	     {0, 0.70710678f, 0, 0.70710678f}},
	    {FSenderTrajectoryReader::EUnits::Metres,
	     FSenderTrajectoryReader::EAxes::YUpRightHanded,
	     2.0,
	     {0ns, 250ms, 625ms},
	     {-3, 1.5, 2},
	     {0, 0, -0.70710678f, 0.70710678f}},
	};
	for (const FCase& Case : Cases)
	{
		FSenderOptions Options;
		Options.ReplayFile = Path;
		Options.Units = Case.Units;
		Options.Axes = Case.Axes;
		Options.Speed = Case.Speed;
		const FReplayRun Run = RunReplay(Options);
		EXPECT_EQ(Run.Deadlines, Case.Deadlines);
		const std::vector<FOrvidaCameraSample> Samples = Decoded(Run);
		ASSERT_EQ(Samples.size(), 3u);
		const int32 FrameNumbers[] = {0, 13, 31};
		for (size_t Index = 0; Index < 3; ++Index)
		{
			EXPECT_EQ(Samples[Index].Timecode[0], FrameNumbers[Index]);
		}
		for (size_t Axis = 0; Axis < 4; ++Axis)
		{
			EXPECT_NEAR(Samples[1].Rotation[Axis], Case.SecondRotation[Axis], 1e-6) << "rotation " << Axis;
		}
		for (size_t Axis = 0; Axis < 3; ++Axis)
		{
			EXPECT_FLOAT_EQ(Samples[1].Location[Axis], Case.SecondLocation[Axis]) << "location " << Axis;
		}
	}
}

TEST(SenderReplay, TakeFileKeepsItsSubjectOrderTimingAndNames)
{
	const std::string Rows = "WorldTime,Notes,Subject,RotationX,RotationY,RotationZ,RotationW,LocationX,LocationY,LocationZ,FrameNumber,RateNumerator,"
	                         "RateDenominator,FieldOfView,AspectRatio,FocalLength,FocusDistance,Source\n"
	                         "10.0,x,\"Cam, A\",0,0,0.6,0.8,1,2,3,100,24000,1001,40,1.5,35,300,A\n"
	                         "10.02,,Other,0,0,0,1,9,9,9,5,25,1,,,,,A\n"
	                         "10.03,,\"Cam, A\",0,0,0,1,8,8,8,102,24000,1001,40,1.5,35,300,B\n"
	                         "10.01,,\"Cam, A\",0,0,0,1,7,7,7,100,24000,1001,40,1.5,35,300,A\n"
	                         "10.5,,\"Cam, A\",,,,,,,,101,24000,1001,,,,,A\n"
	                         "10.75,,\"Cam, A\",0,0,0,1,4,5,6,103,24000,1001,41,1.5,36,310,A\n";
	struct FCase
	{
		std::string Name;
		std::string Text;
		std::string Slate;
		std::string Take;
	};
	const FCase Cases[] = {
	    {"Other_007.csv", "# Slate: Scene A/B\\\\, Take: 9\\r\\n, Take: 12\r\n# a note\n" + Rows, "Scene A/B\\, Take: 9\r\n", "12"},
	    {"A004_012_2.csv", Rows, "A004", "12"},
	};
	for (const FCase& Case : Cases)
	{
		FSenderOptions Options;
		Options.ReplayFile = WriteFile(Case.Name, Case.Text);
		const FReplayRun Run = RunReplay(Options);
		EXPECT_EQ(Run.Deadlines, (std::vector<std::chrono::nanoseconds>{0ns, 750ms})) << Case.Name;

		FSenderCameraState First;
		First.Location[0] = 1, First.Location[1] = 2, First.Location[2] = 3;
		First.Rotation[2] = 0.6, First.Rotation[3] = 0.8;
		First.Lens[0] = 35, First.Lens[1] = 300, First.Lens[2] = 1.5, First.Lens[3] = 40;
		First.FrameNumber = 100;
		First.Rate = {24000, 1001};
		First.Slate = Case.Slate;
		First.Take = Case.Take;
		FSenderCameraState Second = First;
		Second.Location[0] = 4, Second.Location[1] = 5, Second.Location[2] = 6;
		Second.Rotation[2] = 0, Second.Rotation[3] = 1;
		Second.Lens[0] = 36, Second.Lens[1] = 310, Second.Lens[3] = 41;
		Second.FrameNumber = 103;
		EXPECT_EQ(Decoded(Run), (std::vector<FOrvidaCameraSample>{ExpectedSample(First), ExpectedSample(Second)})) << Case.Name;
	}
}

TEST(SenderReplay, LoopedRoundsFollowEachOtherAtTheMeanInterval)
{
	FSenderOptions Options;
	Options.ReplayFile = WriteFile("loop.txt", "0 0 0 0 0 0 0 1\n0.5 0 0 0 0 0 0 1\n2 0 0 0 0 0 0 1\n");
	Options.bLoop = true;
	Options.Count = 7;
	EXPECT_EQ(RunReplay(Options).Deadlines, (std::vector<std::chrono::nanoseconds>{0ns, 500ms, 2s, 3s, 3500ms, 5s, 6s}));
}

namespace
{
/** One IPv4 packet to DestinationPort carrying Payload, as UDP, or as another protocol when bUdp is false. */
std::vector<uint8_t> Ipv4Packet(uint16_t DestinationPort, const std::string& Payload, bool bUdp = true)
{
	const size_t Total = 20 + 8 + Payload.size();
	std::vector<uint8_t> Packet = {0x45,
	                               0,
	                               uint8_t(Total >> 8),
	                               uint8_t(Total),
	                               0,
	                               0,
	                               0x40,
	                               0,
	                               64,
	                               uint8_t(bUdp ? 17 : 6),
	                               0,
	                               0,
	                               10,
	                               0,
	                               0,
	                               1,
	                               10,
	                               0,
	                               0,
	                               2,
	                               0x9C,
	                               0x40,
	                               uint8_t(DestinationPort >> 8),
	                               uint8_t(DestinationPort),
	                               uint8_t((8 + Payload.size()) >> 8),
	                               uint8_t(8 + Payload.size()),
	                               0,
	                               0};
	Packet.resize(Total);
	std::copy(Payload.begin(), Payload.end(), Packet.begin() + 28);
	return Packet;
}

std::vector<uint8_t> LinkHeader(int LinkType)
{
	switch (LinkType)
	{
	case DLT_EN10MB:
		return {2, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1, 0x08, 0x00};
	case DLT_LINUX_SLL:
		return {0, 0, 0, 1, 0, 6, 2, 0, 0, 0, 0, 1, 0, 0, 0x08, 0x00};
	case DLT_LINUX_SLL2:
		return {0x08, 0x00, 0, 0, 0, 0, 0, 2, 0, 1, 0, 6, 2, 0, 0, 0, 0, 1, 0, 0};
	default:
		return {};
	}
}
} // namespace

TEST(SenderReplay, CapturePayloadsGoOutInOrderAtTheirTimesThroughThePortFilter)
{
	struct FPacket
	{
		int64_t Nanoseconds;
		uint16_t Port;
		std::string Payload;
		bool bUdp;
	};
	const FPacket Packets[] = {{1000'000000000, 7001, "first", true},
	                           {1000'250000000, 7000, "other port", true},
	                           {1000'500000000, 7001, "not udp", false},
	                           {1000'750000001, 7001, "second", true},
	                           {1001'000000000, 7001, "third", true}};
	for (const int LinkType : {DLT_EN10MB, DLT_LINUX_SLL, DLT_LINUX_SLL2, DLT_RAW})
	{
		const std::string Path = testing::TempDir() + "capture-" + std::to_string(LinkType) + ".pcap";
		pcap_t* const Dead = pcap_open_dead_with_tstamp_precision(LinkType, 65535, PCAP_TSTAMP_PRECISION_NANO);
		pcap_dumper_t* const Dumper = pcap_dump_open(Dead, Path.c_str());
		ASSERT_TRUE(Dumper) << pcap_geterr(Dead);
		for (const FPacket& Packet : Packets)
		{
			std::vector<uint8_t> Bytes = LinkHeader(LinkType);
			const std::vector<uint8_t> Ip = Ipv4Packet(Packet.Port, Packet.Payload, Packet.bUdp);
			Bytes.insert(Bytes.end(), Ip.begin(), Ip.end());
			pcap_pkthdr Header{};
			// With nanosecond precision, libpcap's writer takes the field named for microseconds as nanoseconds.
			Header.ts.tv_sec = Packet.Nanoseconds / 1'000'000'000;
			Header.ts.tv_usec = Packet.Nanoseconds % 1'000'000'000;
			Header.caplen = Header.len = bpf_u_int32(Bytes.size());
			pcap_dump(reinterpret_cast<u_char*>(Dumper), &Header, Bytes.data());
		}
		pcap_dump_close(Dumper);
		pcap_close(Dead);

		FSenderOptions Options;
		Options.ReplayFile = Path;
		Options.PortFilter = 7001;
		const FReplayRun Run = RunReplay(Options);
		EXPECT_EQ(Run.Datagrams, (std::vector<std::string>{"first", "second", "third"})) << "link type " << LinkType;
		EXPECT_EQ(Run.Deadlines, (std::vector<std::chrono::nanoseconds>{0ns, 750000001ns, 1s})) << "link type " << LinkType;
	}
}

// Faults caught: a device, a folder, an empty file or a cut capture replayed as if it were a take (or read without
// end: /dev/zero grew the sender to gigabytes); a NaN or infinite value, or one out of an integer's range,
// converted and sent (a NaN frame number went out as -2147483648); a file with nothing to send accepted.
TEST(SenderReplay, RefusesWhatItCannotReplay)
{
	const std::string Header = "WorldTime,LocationX,LocationY,LocationZ,RotationX,RotationY,RotationZ,RotationW,FrameNumber\n";
	const std::string Folder = testing::TempDir() + "replay-folder.csv";
	std::filesystem::create_directories(Folder);
	const auto Capture = [](const std::string& Name, bool bUdp, uintmax_t CutBytes)
	{
		const std::string Path = testing::TempDir() + Name;
		pcap_t* const Dead = pcap_open_dead(DLT_RAW, 65535);
		pcap_dumper_t* const Dumper = pcap_dump_open(Dead, Path.c_str());
		const std::vector<uint8_t> Bytes = Ipv4Packet(7001, "{}", bUdp);
		pcap_pkthdr PacketHeader{};
		PacketHeader.caplen = PacketHeader.len = bpf_u_int32(Bytes.size());
		pcap_dump(reinterpret_cast<u_char*>(Dumper), &PacketHeader, Bytes.data());
		pcap_dump_close(Dumper);
		pcap_close(Dead);
		std::filesystem::resize_file(Path, std::filesystem::file_size(Path) - CutBytes);
		return Path;
	};
	const std::pair<std::string, std::string> Cases[] = {
	    {"/dev/zero", "is not a regular file"},
	    {Folder, "is not a regular file but a folder"},
	    {WriteFile("empty.csv", ""), "is empty"},
	    {Capture("cut.pcap", true, 5), "cut off after 0 packets"},
	    {Capture("no-udp.pcap", false, 0), "nothing to send (1 records"},
	    {WriteFile("nan_001.csv", Header + "0,0,0,0,0,0,0,1,nan\n"), ":2: FrameNumber is not a finite number"},
	    {WriteFile("inf_001.csv", Header + "0,inf,0,0,0,0,0,1,1\n"), ":2: LocationX is not a finite number"},
	    {WriteFile("huge_001.csv", Header + "0,0,0,0,0,0,0,1,1e12\n"), ":2: FrameNumber is out of range"},
	    {WriteFile("late_001.csv", Header + "1e300,0,0,0,0,0,0,1,1\n"), ":2: WorldTime is out of range"},
	    // A file cut inside quotes: its last record, or the rest of the file, is not a record of the take.
	    {WriteFile("open_001.csv", Header + "0,0,0,0,0,0,0,1,1\n\"0,0,0,0,0,0,0,1,2\n"), ":3: a quoted field is not closed"},
	};
	for (const auto& [Path, Reason] : Cases)
	{
		FSenderOptions Options;
		Options.ReplayFile = Path;
		const FSenderFrameSources::FOpened Opened = FSenderFrameSources::Open(Options);
		EXPECT_FALSE(Opened.Source) << Path;
		EXPECT_NE(Opened.Error.find(Reason), std::string::npos) << Path << ": " << Opened.Error;
	}
}
