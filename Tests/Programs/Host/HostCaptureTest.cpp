#include "HostCaptureQueue.h"
#include "HostCaptureWriter.h"

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
