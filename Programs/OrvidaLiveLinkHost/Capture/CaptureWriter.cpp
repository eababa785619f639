#include "Capture/CaptureWriter.h"

#include "Capture/PcapPacket.h"

#include <pcap/pcap.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdio_ext.h>
#include <unistd.h>

std::unique_ptr<FHostCaptureWriter> FHostCaptureWriter::Open(const std::string& Path, std::string& OutError)
{
	pcap_t* const DeadHandle =
	    pcap_open_dead_with_tstamp_precision(DLT_RAW, int(FHostPcapPacket::HeaderSize + FHostPcapPacket::MaxPayloadSize), PCAP_TSTAMP_PRECISION_NANO);
	if (!DeadHandle)
	{
		OutError = "cannot open the capture file " + Path + ": libpcap made no handle to write it with";
		return nullptr;
	}
	// Opened here rather than by pcap_dump_open, which would take "-" for standard output, where the host's lines go.
	FILE* const File = std::fopen(Path.c_str(), "wb");
	if (!File)
	{
		OutError = "cannot open the capture file " + Path + ": " + std::strerror(errno);
		pcap_close(DeadHandle);
		return nullptr;
	}
	// On failure libpcap has closed the file.
	pcap_dumper_t* const Dumper = pcap_dump_fopen(DeadHandle, File);
	if (!Dumper)
	{
		OutError = "cannot open the capture file " + Path + ": " + pcap_geterr(DeadHandle);
		pcap_close(DeadHandle);
		return nullptr;
	}
	// The file's header on disk first: a failure later cuts the file back to a record boundary after it.
	if (pcap_dump_flush(Dumper) != 0)
	{
		OutError = "cannot write the capture file " + Path + ": " + std::strerror(errno);
		pcap_dump_close(Dumper);
		pcap_close(DeadHandle);
		return nullptr;
	}
	return std::unique_ptr<FHostCaptureWriter>(new FHostCaptureWriter(Path, DeadHandle, Dumper));
}

FHostCaptureWriter::FHostCaptureWriter(std::string InPath, pcap* InDeadHandle, pcap_dumper* InDumper)
    : Path(std::move(InPath))
    , DeadHandle(InDeadHandle)
    , Dumper(InDumper)
    , Queue(std::make_shared<FHostCaptureQueue>(QueueCapacityBytes))
    , FlushedOffset(std::ftell(pcap_dump_file(InDumper)))
    , Thread([this] { WriteQueued(); })
{
}

FHostCaptureWriter::~FHostCaptureWriter() { Finish(); }

FOrvidaLiveLinkSource::FDatagramTap FHostCaptureWriter::MakeTap() const
{
	return [Queue = Queue](const TSharedPtr<TArray<uint8>, ESPMode::ThreadSafe>& Datagram, const FIPv4Endpoint& Sender, int64 ArrivalUnixNanoseconds,
	                       const FIPv4Endpoint& SourceEndpoint) {
		Queue->Push(FHostCapturedDatagram{Datagram, Sender, SourceEndpoint, ArrivalUnixNanoseconds});
	};
}

FHostCaptureWriter::FCounts FHostCaptureWriter::GetCounts() const
{
	return FCounts{Written.load(std::memory_order_relaxed),
	               Queue->GetDropped() + TooLong.load(std::memory_order_relaxed) + Lost.load(std::memory_order_relaxed)};
}

std::string FHostCaptureWriter::Finish()
{
	if (!Thread.joinable())
	{
		return WriteError;
	}
	Queue->Close();
	Thread.join();
	// The flush matters when no datagram came: the file's header is still in the stream's buffer.
	if (WriteError.empty() && pcap_dump_flush(Dumper) != 0)
	{
		NoteFileError();
	}
	if (WriteError.empty() && ::fsync(::fileno(pcap_dump_file(Dumper))) != 0)
	{
		NoteFileError();
	}
	pcap_dump_close(Dumper);
	pcap_close(DeadHandle);
	return WriteError;
}

void FHostCaptureWriter::WriteQueued()
{
	std::vector<FHostCapturedDatagram> Batch;
	std::vector<uint8> Packet;
	while (Queue->PopAll(Batch))
	{
		// After a failure the file is not trusted with more; the queue is still emptied so that the taps never wait,
		// and what it held is counted as lost.
		const bool bFailedBefore = !WriteError.empty();
		const int64 TooLongBefore = TooLong.load(std::memory_order_relaxed);
		int64 Handed = 0;
		for (size_t Index = 0; Index < Batch.size() && WriteError.empty(); ++Index)
		{
			Handed += WriteDatagram(Batch[Index], Packet) ? 1 : 0;
		}
		// Flushing whenever the queue runs dry keeps the file whole up to the last datagram while the stream
		// pauses, and shows a failing disk at once rather than at shutdown.
		if (WriteError.empty() && pcap_dump_flush(Dumper) != 0)
		{
			NoteFileError();
		}
		if (WriteError.empty())
		{
			FlushedOffset = std::ftell(pcap_dump_file(Dumper));
			Written.fetch_add(Handed, std::memory_order_relaxed);
		}
		else
		{
			// The whole batch goes: the file was cut back to before it.
			const int64 TooLongInBatch = bFailedBefore ? 0 : TooLong.load(std::memory_order_relaxed) - TooLongBefore;
			Lost.fetch_add(int64(Batch.size()) - TooLongInBatch, std::memory_order_relaxed);
		}
	}
}

bool FHostCaptureWriter::WriteDatagram(const FHostCapturedDatagram& Datagram, std::vector<uint8>& Packet)
{
	const std::span<const uint8> Payload =
	    Datagram.Bytes.IsValid() ? std::span<const uint8>(Datagram.Bytes->GetData(), Datagram.Bytes->Num()) : std::span<const uint8>();
	const FIPv4Endpoint Destination(Datagram.Destination.Address == FIPv4Address::Any ? FIPv4Address::InternalLoopback : Datagram.Destination.Address,
	                                Datagram.Destination.Port);
	if (!FHostPcapPacket::Build(Payload, Datagram.Sender, Destination, Packet))
	{
		TooLong.fetch_add(1, std::memory_order_relaxed);
		return false;
	}
	// A clock set before 1970 is written as 1970 rather than wrapped into the future.
	const int64 Nanoseconds = Datagram.ArrivalUnixNanoseconds > 0 ? Datagram.ArrivalUnixNanoseconds : 0;
	pcap_pkthdr Header{};
	Header.ts.tv_sec = time_t(Nanoseconds / 1000000000);
	// With nanosecond precision libpcap writes this field as nanoseconds.
	Header.ts.tv_usec = suseconds_t(Nanoseconds % 1000000000);
	Header.caplen = Header.len = bpf_u_int32(Packet.size());
	pcap_dump(reinterpret_cast<u_char*>(Dumper), &Header, Packet.data());
	if (std::ferror(pcap_dump_file(Dumper)))
	{
		NoteFileError();
		return false;
	}
	return true;
}

void FHostCaptureWriter::NoteFileError()
{
	const int Error = errno;
	if (!WriteError.empty())
	{
		return;
	}
	WriteError = "cannot write the capture file " + Path + ": " + (Error != 0 ? std::strerror(Error) : "the stream reports an error");
	std::fprintf(stderr, "orvida-livelink: %s; the capture stops here, datagrams from now on are counted as dropped\n", WriteError.c_str());
	// The stream's buffer holds the part of a record that did not fit: dropped, or closing would try to write it.
	FILE* const File = pcap_dump_file(Dumper);
	__fpurge(File);
	if (::ftruncate(::fileno(File), FlushedOffset) != 0 || std::fseek(File, FlushedOffset, SEEK_SET) != 0)
	{
		WriteError += "; and it could not be cut back to its last whole record: " + std::string(std::strerror(errno));
	}
}
