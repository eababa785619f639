#include "Server/ConnectionWatch.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <vector>

namespace
{
/** The peer of a TCP connection accepted on Port, or none for any other descriptor. */
std::optional<std::pair<std::string, int>> FindAcceptedPeer(int Descriptor, int Port)
{
	struct stat Status
	{
	};
	int Type = 0;
	int Listening = 0;
	socklen_t Length = sizeof(int);
	if (::fstat(Descriptor, &Status) != 0 || !S_ISSOCK(Status.st_mode) || ::getsockopt(Descriptor, SOL_SOCKET, SO_TYPE, &Type, &Length) != 0 ||
	    Type != SOCK_STREAM)
	{
		return std::nullopt;
	}
	Length = sizeof(int);
	if (::getsockopt(Descriptor, SOL_SOCKET, SO_ACCEPTCONN, &Listening, &Length) != 0 || Listening != 0)
	{
		return std::nullopt;
	}
	sockaddr_storage Local{};
	sockaddr_storage Peer{};
	socklen_t LocalLength = sizeof(Local);
	socklen_t PeerLength = sizeof(Peer);
	if (::getsockname(Descriptor, reinterpret_cast<sockaddr*>(&Local), &LocalLength) != 0 ||
	    ::getpeername(Descriptor, reinterpret_cast<sockaddr*>(&Peer), &PeerLength) != 0)
	{
		return std::nullopt;
	}
	char Text[INET6_ADDRSTRLEN] = {};
	if (Local.ss_family == AF_INET && Peer.ss_family == AF_INET)
	{
		const auto& LocalV4 = reinterpret_cast<const sockaddr_in&>(Local);
		const auto& PeerV4 = reinterpret_cast<const sockaddr_in&>(Peer);
		if (ntohs(LocalV4.sin_port) != Port || ::inet_ntop(AF_INET, &PeerV4.sin_addr, Text, sizeof(Text)) == nullptr)
		{
			return std::nullopt;
		}
		return std::make_pair(std::string(Text), int(ntohs(PeerV4.sin_port)));
	}
	if (Local.ss_family == AF_INET6 && Peer.ss_family == AF_INET6)
	{
		const auto& LocalV6 = reinterpret_cast<const sockaddr_in6&>(Local);
		const auto& PeerV6 = reinterpret_cast<const sockaddr_in6&>(Peer);
		if (ntohs(LocalV6.sin6_port) != Port || ::inet_ntop(AF_INET6, &PeerV6.sin6_addr, Text, sizeof(Text)) == nullptr)
		{
			return std::nullopt;
		}
		return std::make_pair(std::string(Text), int(ntohs(PeerV6.sin6_port)));
	}
	return std::nullopt;
}

std::vector<int> ListDescriptors()
{
	std::vector<int> Descriptors;
	DIR* Directory = ::opendir("/proc/self/fd");
	if (Directory == nullptr)
	{
		return Descriptors;
	}
	const int Own = ::dirfd(Directory);
	while (const dirent* Entry = ::readdir(Directory))
	{
		char* End = nullptr;
		const long Descriptor = std::strtol(Entry->d_name, &End, 10);
		if (End != Entry->d_name && *End == '\0' && Descriptor != Own)
		{
			Descriptors.push_back(static_cast<int>(Descriptor));
		}
	}
	::closedir(Directory);
	return Descriptors;
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
	std::vector<std::pair<int, FPeer>> Late;
	{
		const std::vector<int> Descriptors = ListDescriptors();
		std::lock_guard<std::mutex> Guard(Lock);
		++Pass;
		for (const int Descriptor : Descriptors)
		{
			const std::optional<FPeer> Peer = FindAcceptedPeer(Descriptor, Port);
			if (!Peer)
			{
				continue;
			}
			auto [Found, bNew] = Connections.try_emplace(*Peer);
			if (bNew)
			{
				Found->second.FirstSeen = Now;
			}
			Found->second.LastPass = Pass;
			if (!Found->second.bRequestRead && Now - Found->second.FirstSeen >= RequestDeadline)
			{
				Late.emplace_back(Descriptor, *Peer);
			}
		}
		// A connection the library has closed is not seen again; one marked before any pass saw it gets one pass more.
		std::erase_if(Connections, [this](const auto& Entry) { return Entry.second.LastPass + 1 < Pass; });
	}
	for (const auto& [Descriptor, Peer] : Late)
	{
		// The library may have closed the descriptor since, and the number may now be another connection's: the
		// peer is checked again right before the cut. Shutting down leaves the descriptor to the library to close.
		if (FindAcceptedPeer(Descriptor, Port) == std::optional<FPeer>(Peer) && ::shutdown(Descriptor, SHUT_RDWR) == 0)
		{
			std::lock_guard<std::mutex> Guard(Lock);
			++CutCount;
			Connections.erase(Peer);
		}
	}
}
