#include "OrvidaEndpointText.h"

namespace
{
// Three digits hold every byte and five every port, leading zeros included ("010" is 10: Atoi reads decimal,
// never octal). Refusing the next digit at once keeps a pasted run of digits from being read to its end, and
// keeps every value read here far from overflow.
constexpr int32 MaxByteDigits = 3;
constexpr int32 MaxPortDigits = 5;

// ASCII digits only: the engine's FChar::IsDigit asks the C runtime, which may also take digits of other
// scripts, and Atoi reads those as nothing.
bool IsDecimalDigit(TCHAR Char) { return Char >= TEXT('0') && Char <= TEXT('9'); }

/** Moves Position past Separator; false when the text has anything else there. */
bool ReadSeparator(const FString& Text, int32& Position, TCHAR Separator)
{
	if (Position >= Text.Len() || Text[Position] != Separator)
	{
		return false;
	}
	++Position;
	return true;
}

/** Moves Position past one to MaxDigits decimal digits worth at most MaxValue; false for none, more, or more than MaxValue. */
bool ReadNumber(const FString& Text, int32& Position, int32 MaxDigits, int32 MaxValue)
{
	const int32 Start = Position;
	int32 Value = 0;
	while (Position < Text.Len() && IsDecimalDigit(Text[Position]))
	{
		if (Position - Start == MaxDigits)
		{
			return false;
		}
		Value = Value * 10 + int32(Text[Position++] - TEXT('0'));
	}
	return Position > Start && Value <= MaxValue;
}

/** Moves Position past "a.b.c.d"; false when the text there is not four such numbers. */
bool ReadAddress(const FString& Text, int32& Position)
{
	for (int32 Byte = 0; Byte < 4; ++Byte)
	{
		if ((Byte > 0 && !ReadSeparator(Text, Position, TEXT('.'))) || !ReadNumber(Text, Position, MaxByteDigits, 255))
		{
			return false;
		}
	}
	return true;
}

/** Moves Position past "a.b.c.d:port"; false when the text there is not such an endpoint. */
bool ReadEndpoint(const FString& Text, int32& Position)
{
	return ReadAddress(Text, Position) && ReadSeparator(Text, Position, TEXT(':')) && ReadNumber(Text, Position, MaxPortDigits, 65535);
}

// Between a group's endpoint and the address of the interface that joins it.
constexpr TCHAR InterfaceSeparator = TEXT('@');
} // namespace

bool FOrvidaEndpointText::ParseSourceEndpoint(const FString& Text, FIPv4Endpoint& OutEndpoint, FIPv4Address& OutMulticastInterface)
{
	int32 Position = 0;
	if (!ReadEndpoint(Text, Position))
	{
		return false;
	}
	const int32 EndpointLength = Position;
	FIPv4Endpoint Endpoint;
	FIPv4Address Interface = FIPv4Address::Any;
	if (!FIPv4Endpoint::Parse(Text.Left(EndpointLength), Endpoint))
	{
		return false;
	}
	if (Position < Text.Len())
	{
		if (!Endpoint.Address.IsMulticastAddress() || !ReadSeparator(Text, Position, InterfaceSeparator) || !ParseAddress(Text.Mid(Position), Interface))
		{
			return false;
		}
	}
	OutEndpoint = Endpoint;
	OutMulticastInterface = Interface;
	return true;
}

FString FOrvidaEndpointText::FormatSourceEndpoint(const FIPv4Endpoint& Endpoint, const FIPv4Address& MulticastInterface)
{
	FString Text = Endpoint.ToString();
	if (Endpoint.Address.IsMulticastAddress() && MulticastInterface != FIPv4Address::Any)
	{
		Text.AppendChar(InterfaceSeparator);
		Text += MulticastInterface.ToString();
	}
	return Text;
}

bool FOrvidaEndpointText::ParseAddress(const FString& Text, FIPv4Address& OutAddress)
{
	int32 Position = 0;
	const bool bWellFormed = ReadAddress(Text, Position) && Position == Text.Len();
	return bWellFormed && FIPv4Address::Parse(Text, OutAddress);
}
