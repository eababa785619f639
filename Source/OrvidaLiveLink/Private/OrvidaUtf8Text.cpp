#include "OrvidaUtf8Text.h"

namespace OrvidaUtf8Text
{
constexpr uint32 ReplacementCharacter = 0xFFFD;

bool IsContinuation(uint8 Byte, uint8 Low, uint8 High) { return Byte >= Low && Byte <= High; }

void AppendCodePoint(FString& Text, uint32 CodePoint)
{
	if (sizeof(TCHAR) == 2 && CodePoint > 0xFFFF)
	{
		CodePoint -= 0x10000;
		Text.AppendChar(TCHAR(0xD800 + (CodePoint >> 10)));
		Text.AppendChar(TCHAR(0xDC00 + (CodePoint & 0x3FF)));
		return;
	}
	Text.AppendChar(TCHAR(CodePoint));
}

/**
 * Reads the character that starts at Bytes[Index] and moves Index past what it consumed. The first continuation
 * byte's range depends on the lead byte: that is what rules out overlong forms, surrogates and values beyond
 * U+10FFFF.
 */
uint32 ReadCodePoint(const uint8* Bytes, int32 Count, int32& Index)
{
	const uint8 Lead = Bytes[Index++];
	int32 Continuations = 0;
	uint8 FirstLow = 0x80;
	uint8 FirstHigh = 0xBF;
	uint32 CodePoint = 0;
	if (Lead >= 0xC2 && Lead <= 0xDF)
	{
		Continuations = 1;
		CodePoint = Lead & 0x1F;
	}
	else if (Lead >= 0xE0 && Lead <= 0xEF)
	{
		Continuations = 2;
		CodePoint = Lead & 0x0F;
		FirstLow = Lead == 0xE0 ? 0xA0 : 0x80;
		FirstHigh = Lead == 0xED ? 0x9F : 0xBF;
	}
	else if (Lead >= 0xF0 && Lead <= 0xF4)
	{
		Continuations = 3;
		CodePoint = Lead & 0x07;
		FirstLow = Lead == 0xF0 ? 0x90 : 0x80;
		FirstHigh = Lead == 0xF4 ? 0x8F : 0xBF;
	}
	else
	{
		return ReplacementCharacter;
	}
	for (int32 Step = 0; Step < Continuations; ++Step)
	{
		if (Index >= Count || !IsContinuation(Bytes[Index], Step == 0 ? FirstLow : 0x80, Step == 0 ? FirstHigh : 0xBF))
		{
			// The byte that broke the sequence is read again as the start of the next character.
			return ReplacementCharacter;
		}
		CodePoint = (CodePoint << 6) | (Bytes[Index++] & 0x3F);
	}
	return CodePoint;
}

FString DecodeWithoutZeros(const uint8* Bytes, int32 Count)
{
	FString Text;
	Text.Reserve(Count);
	for (int32 Index = 0; Index < Count;)
	{
		// Camera messages are ASCII but for the odd slate: runs of ASCII go in whole, and the engine's 8-bit append
		// is exact for them.
		const int32 RunStart = Index;
		while (Index < Count && Bytes[Index] < 0x80)
		{
			++Index;
		}
		if (Index > RunStart)
		{
			Text.AppendChars(reinterpret_cast<const ANSICHAR*>(Bytes + RunStart), Index - RunStart);
		}
		if (Index < Count)
		{
			AppendCodePoint(Text, ReadCodePoint(Bytes, Count, Index));
		}
	}
	return Text;
}
} // namespace OrvidaUtf8Text

FString FOrvidaUtf8Text::Decode(const uint8* Bytes, int32 Count)
{
	using namespace OrvidaUtf8Text;

	if (Count <= 0)
	{
		return FString();
	}
	// Camera messages are plain ASCII: one branch-free pass, which the compiler vectorises, finds that out, and
	// then the engine's 8-bit append, exact for ASCII, takes the whole text at once.
	uint8 HighBits = 0;
	uint8 Lowest = 0xFF;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		HighBits |= Bytes[Index];
		Lowest = Bytes[Index] < Lowest ? Bytes[Index] : Lowest;
	}
	if (Lowest != 0)
	{
		if (HighBits < 0x80)
		{
			FString Text;
			Text.AppendChars(reinterpret_cast<const ANSICHAR*>(Bytes), Count);
			return Text;
		}
		return DecodeWithoutZeros(Bytes, Count);
	}
	// Zero bytes are rare; only a datagram that has one pays for a copy without them.
	TArray<uint8> NonZero;
	NonZero.Reserve(Count);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		if (Bytes[Index] != 0)
		{
			NonZero.Add(Bytes[Index]);
		}
	}
	return DecodeWithoutZeros(NonZero.GetData(), NonZero.Num());
}
