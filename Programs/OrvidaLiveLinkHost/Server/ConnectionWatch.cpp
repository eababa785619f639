#include "Server/ConnectionWatch.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>
#include <vector>

namespace
{
/** An accepted connection on the watched port: its peer, and the socket's inode, which names it for as long as it lives. */
struct FAccepted
{
	std::pair<std::string, int> Peer;
	uint64_t Inode = 0;
};

/** The peer address of /proc/net/tcp's hexadecimal form: IPv4 as one 32-bit word, IPv6 as four, each in host order. */
std::optional<std::string> ReadAddress(const std::string& Hex)
{
	unsigned char Bytes[16] = {};
	const size_t Words = Hex.size() / 8;
	if ((Words != 1 && Words != 4) || Hex.size() % 8 != 0)
	{
		return std::nullopt;
	}
	for (size_t Word = 0; Word < Words; ++Word)
	{
		const uint32_t Value = uint32_t(std::strtoul(Hex.substr(Word * 8, 8).c_str(), nullptr, 16));
		std::memcpy(Bytes + Word * 4, &Value, 4);
	}
	char Text[INET6_ADDRSTRLEN] = {};
	if (::inet_ntop(Words == 1 ? AF_INET : AF_INET6, Bytes, Text, sizeof(Text)) == nullptr)
	{
		return std::nullopt;
	}
	return std::string(Text);
}

/**
 * The connections accepted on Port, by socket inode, from the kernel's tables. Read there rather than from the
 * descriptors: the server's threads close their descriptors at any time, and inspecting one they are closing would
 * race with them.
 */
std::map<uint64_t, std::pair<std::string, int>> ReadAcceptedOnPort(int Port)
{
	constexpr int ListeningState = 0x0A;
	std::map<uint64_t, std::pair<std::string, int>> Accepted;
	for (const char* Table : {"/proc/net/tcp", "/proc/net/tcp6"})
	{
		std::ifstream File(Table);
		std::string Line;
		std::getline(File, Line);
		while (std::getline(File, Line))
		{
			std::istringstream Fields(Line);
			std::string Slot, Local, Remote, State, Queues, Timer, Retransmits, Uid, Timeout;
			uint64_t Inode = 0;
			if (!(Fields >> Slot >> Local >> Remote >> State >> Queues >> Timer >> Retransmits >> Uid >> Timeout >> Inode))
			{
				continue;
			}
			const size_t LocalColon = Local.find(':');
			const size_t RemoteColon = Remote.find(':');
			if (LocalColon == std::string::npos || RemoteColon == std::string::npos || Inode == 0 ||
			    std::strtol(State.c_str(), nullptr, 16) == ListeningState || std::strtol(Local.c_str() + LocalColon + 1, nullptr, 16) != Port)
			{
				continue;
			}
			if (const std::optional<std::string> Address = ReadAddress(Remote.substr(0, RemoteColon)))
			{
				Accepted[Inode] = {*Address, int(std::strtol(Remote.c_str() + RemoteColon + 1, nullptr, 16))};
			}
		}
	}
	return Accepted;
}

/** The inode of the socket that descriptor Descriptor is now, from its link in /proc/self/fd; 0 for anything else. */
uint64_t ReadSocketInode(int Descriptor)
{
	char Target[64] = {};
	const std::string Link = "/proc/self/fd/" + std::to_string(Descriptor);
	const ssize_t Length = ::readlink(Link.c_str(), Target, sizeof(Target) - 1);
	unsigned long long Inode = 0;
	return Length > 0 && std::sscanf(Target, "socket:[%llu]", &Inode) == 1 ? uint64_t(Inode) : 0;
}

/** The descriptors of this process that are sockets, by inode. */
std::map<uint64_t, int> ListSocketDescriptors()
{
	std::map<uint64_t, int> Sockets;
	DIR* Directory = ::opendir("/proc/self/fd");
	if (Directory == nullptr)
	{
		return Sockets;
	}
	while (const dirent* Entry = ::readdir(Directory))
	{
		char* End = nullptr;
		const long Descriptor = std::strtol(Entry->d_name, &End, 10);
		if (End != Entry->d_name && *End == '\0')
		{
			if (const uint64_t Inode = ReadSocketInode(int(Descriptor)))
			{
				Sockets[Inode] = int(Descriptor);
			}
		}
	}
	::closedir(Directory);
	return Sockets;
}
} // namespace

FHostConnectionWatch::~FHostConnectionWatch() { Stop(); }

void FHostConnectionWatch::Start(int InPort)
{
	if (Thread.joinable())
	{
		return;
	}
	Port = InPort;
	bStopping = false;
	Thread = std::thread([this] { Run(); });
}

void FHostConnectionWatch::Stop()
{
	{
		std::lock_guard<std::mutex> Guard(Lock);
		bStopping = true;
	}
	Wake.notify_all();
	if (Thread.joinable())
	{
		Thread.join();
	}
}

void FHostConnectionWatch::MarkRequestRead(const std::string& PeerAddress, int PeerPort)
{
	std::lock_guard<std::mutex> Guard(Lock);
	FConnection& Connection = Connections[{PeerAddress, PeerPort}];
	if (!Connection.bRequestRead && Connection.FirstSeen == std::chrono::steady_clock::time_point())
	{
		Connection.FirstSeen = std::chrono::steady_clock::now();
		Connection.LastPass = Pass;
	}
	Connection.bRequestRead = true;
}

int64_t FHostConnectionWatch::GetCutCount() const
{
	std::lock_guard<std::mutex> Guard(Lock);
	return CutCount;
}

void FHostConnectionWatch::Run()
{
	std::unique_lock<std::mutex> Guard(Lock);
	while (!Wake.wait_for(Guard, Period, [this] { return bStopping; }))
	{
		Guard.unlock();
		LookOver();
		Guard.lock();
	}
}

void FHostConnectionWatch::LookOver()
{
	const std::chrono::steady_clock::time_point Now = std::chrono::steady_clock::now();
	std::vector<std::tuple<int, uint64_t, FPeer>> Late;
	{
		const std::map<uint64_t, FPeer> Accepted = ReadAcceptedOnPort(Port);
		const std::map<uint64_t, int> Descriptors = ListSocketDescriptors();
		std::lock_guard<std::mutex> Guard(Lock);
		++Pass;
		for (const auto& [Inode, Peer] : Accepted)
		{
			const auto Descriptor = Descriptors.find(Inode);
			if (Descriptor == Descriptors.end())
			{
				continue;
			}
			auto [Found, bNew] = Connections.try_emplace(Peer);
			if (bNew)
			{
				Found->second.FirstSeen = Now;
			}
			Found->second.LastPass = Pass;
			if (!Found->second.bRequestRead && Now - Found->second.FirstSeen >= RequestDeadline)
			{
				Late.emplace_back(Descriptor->second, Inode, Peer);
			}
		}
		// A connection the library has closed is not seen again; one marked before any pass saw it gets one pass more.
		std::erase_if(Connections, [this](const auto& Entry) { return Entry.second.LastPass + 1 < Pass; });
	}
	for (const auto& [Descriptor, Inode, Peer] : Late)
	{
		// The library may have closed the descriptor since, and the number may now be another socket's: the inode,
		// which no other socket has while this one lives, is checked again right before the cut. Shutting down
		// leaves the descriptor to the library to close.
		if (ReadSocketInode(Descriptor) == Inode && ::shutdown(Descriptor, SHUT_RDWR) == 0)
		{
			std::lock_guard<std::mutex> Guard(Lock);
			++CutCount;
			Connections.erase(Peer);
		}
	}
}
