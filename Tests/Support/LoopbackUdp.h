#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Plain POSIX sockets on 127.0.0.1, so that tests of the engine's sockets do not rest on those sockets.
namespace LoopbackUdp
{
/** A port on 127.0.0.1 that the system just handed out and that is free again now. */
uint16_t PickFreePort();

/** A UDP socket bound to 127.0.0.1 on a port of the system's choice; closed with the object. */
class FSender
{
public:
	FSender();
	~FSender();
	FSender(const FSender&) = delete;
	FSender& operator=(const FSender&) = delete;

	/** Sends one datagram to 127.0.0.1:Port; false when the system refused it. */
	bool Send(uint16_t Port, const void* Data, size_t Size) const;
	bool Send(uint16_t Port, std::string_view Text) const { return Send(Port, Text.data(), Text.size()); }
	uint16_t GetPort() const;

private:
	int Descriptor;
};

/** A UDP socket bound to 127.0.0.1:Port, with address reuse when asked, or invalid when the bind failed. */
class FBinding
{
public:
	FBinding(uint16_t Port, bool bAddressReuse);
	~FBinding();
	FBinding(const FBinding&) = delete;
	FBinding& operator=(const FBinding&) = delete;

	bool IsBound() const { return bBound; }

private:
	int Descriptor;
	bool bBound = false;
};

/** Holds the port alone: no other socket, reusing or not, can bind it while this one lives. */
class FExclusiveBinding : public FBinding
{
public:
	explicit FExclusiveBinding(uint16_t Port)
	    : FBinding(Port, false)
	{
	}
};

/** Holds the port as another program's receiver might: a socket that asks for reuse can bind it too. */
class FSharedBinding : public FBinding
{
public:
	explicit FSharedBinding(uint16_t Port)
	    : FBinding(Port, true)
	{
	}
};
} // namespace LoopbackUdp
