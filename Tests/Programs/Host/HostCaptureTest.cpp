#include "Capture/CaptureQueue.h"
#include "Capture/CaptureWriter.h"
#include "SmallTmpfs.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe> MakeBytes(int32 Size)
{
	const std::vector<uint8> Bytes(Size, uint8('x'));
	return MakeShared<TArray<uint8>, ESPMode::ThreadSafe>(Bytes.data(), Size);
}

FHostCapturedDatagram MakeDatagram(int32 Size, uint16 Port)
{
	return FHostCapturedDatagram{MakeBytes(Size), FIPv4Endpoint(FIPv4Address::InternalLoopback, Port), {}, 0};
}
} // namespace

// Faults: the bound off by one record, its bytes not given back when the writer takes the queue, datagrams taken
// after Close, or the order lost.
TEST(HostCaptureQueue, HoldsWhatItsBytesAllowUntilClosed)
{
	FHostCaptureQueue Queue(2 * (FHostCaptureQueue::RecordOverheadBytes + 10));
	std::vector<FHostCapturedDatagram> Taken;
	Queue.Push(MakeDatagram(10, 1));
	Queue.Push(MakeDatagram(10, 2));
	Queue.Push(MakeDatagram(1, 3));
	EXPECT_EQ(Queue.GetDropped(), 1);
	ASSERT_TRUE(Queue.PopAll(Taken));
	ASSERT_EQ(Taken.size(), 2u);
	EXPECT_EQ(Taken[0].Sender.Port, 1);
	EXPECT_EQ(Taken[1].Sender.Port, 2);

	Queue.Push(MakeDatagram(10, 4));
	Queue.Close();
	Queue.Push(MakeDatagram(1, 5));
	EXPECT_EQ(Queue.GetDropped(), 2);
	ASSERT_TRUE(Queue.PopAll(Taken));
	ASSERT_EQ(Taken.size(), 1u);
	EXPECT_EQ(Taken[0].Sender.Port, 4);
	EXPECT_FALSE(Queue.PopAll(Taken));
}

// Faults: Finish closing the file before the writer's thread has written what was still queued; a record that
// libpcap cannot read back or whose length is not the headers' and the payload's.
TEST(HostCaptureWriter, FinishWritesOutEverythingQueued)
{
	const std::filesystem::path Path = std::filesystem::temp_directory_path() / ("HostCaptureWriterTest" + std::to_string(::getpid()) + ".pcap");
	std::string Error;
	std::unique_ptr<FHostCaptureWriter> Writer = FHostCaptureWriter::Open(Path.string(), Error);
	ASSERT_TRUE(Writer) << Error;
	const FOrvidaLiveLinkSource::FDatagramTap Tap = Writer->MakeTap();
	constexpr int32 Count = 2000;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Tap(MakeBytes(1 + Index % 100), FIPv4Endpoint(FIPv4Address::InternalLoopback, 5000), 1, FIPv4Endpoint(FIPv4Address::Any, 9001));
	}
	EXPECT_EQ(Writer->Finish(), "");
	EXPECT_EQ(Writer->GetCounts().Written, Count);

	char ErrorText[PCAP_ERRBUF_SIZE] = {};
	const std::unique_ptr<pcap_t, decltype(&pcap_close)> Capture(pcap_open_offline(Path.c_str(), ErrorText), &pcap_close);
	ASSERT_TRUE(Capture) << ErrorText;
	pcap_pkthdr* Header = nullptr;
	const u_char* Data = nullptr;
	int32 Read = 0;
	while (pcap_next_ex(Capture.get(), &Header, &Data) == 1)
	{
		EXPECT_EQ(Header->caplen, FHostPcapPacket::HeaderSize + 1 + Read % 100);
		++Read;
	}
	EXPECT_EQ(Read, Count);
	std::filesystem::remove(Path);
}

// Faults caught: a full disk that leaves half a record at the end of the file (a reader stops with an error
// there), datagrams lost after the failure counted as neither written nor dropped ("0 dropped" while most were
// not written), or a failure that Finish does not report.
TEST(HostCaptureWriter, AFullDiskKeepsWholeRecordsAndCountsEveryDatagramNotWritten)
{
	FSmallTmpfs Disk;
	if (Disk.Path.empty())
	{
		GTEST_SKIP() << "this machine does not let the test mount a tmpfs: " << Disk.Refusal;
	}
	const std::string Path = Disk.Path + "/full.pcap";
	std::string Error;
	std::unique_ptr<FHostCaptureWriter> Writer = FHostCaptureWriter::Open(Path, Error);
	ASSERT_TRUE(Writer) << Error;
	const FOrvidaLiveLinkSource::FDatagramTap Tap = Writer->MakeTap();
	// In rounds, each taken by the writer before the next, as a stream arrives: records before the disk filled are kept.
	constexpr int32 Count = 2000;
	constexpr int32 Round = 20;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Tap(MakeBytes(100), FIPv4Endpoint(FIPv4Address::InternalLoopback, 5000), 1, FIPv4Endpoint(FIPv4Address::Any, 9001));
		if ((Index + 1) % Round == 0)
		{
			ASSERT_TRUE(WaitUntil([&] { return Writer->GetCounts().Written + Writer->GetCounts().Dropped == Index + 1; }));
		}
	}
	EXPECT_NE(Writer->Finish().find("No space left on device"), std::string::npos);
	const FHostCaptureWriter::FCounts Counts = Writer->GetCounts();
	EXPECT_GT(Counts.Written, 0);
	EXPECT_EQ(Counts.Written + Counts.Dropped, Count);

	char ErrorText[PCAP_ERRBUF_SIZE] = {};
	const std::unique_ptr<pcap_t, decltype(&pcap_close)> Capture(pcap_open_offline(Path.c_str(), ErrorText), &pcap_close);
	ASSERT_TRUE(Capture) << ErrorText;
	pcap_pkthdr* Header = nullptr;
	const u_char* Data = nullptr;
	int64 Read = 0;
	int Result = 0;
	while ((Result = pcap_next_ex(Capture.get(), &Header, &Data)) == 1)
	{
		++Read;
	}
	EXPECT_EQ(Result, PCAP_ERROR_BREAK) << "the file ends inside a record: " << pcap_geterr(Capture.get());
	EXPECT_EQ(Read, Counts.Written);
}
