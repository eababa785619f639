#include "Serialization/JsonText.h"

#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(PLATFORM_LITTLE_ENDIAN, "The block-wise ASCII paths read code units in little-endian order");

namespace UE::Json::Private
{
namespace
{
constexpr char16_t ReplacementCharacter = 0xFFFD;

bool IsContinuation(uint8 Byte) { return (Byte & 0xC0) == 0x80; }

/** Decodes Utf8 into Out, which has room for Utf8.size() code units; returns the number written. */
int32 Widen(std::string_view Utf8, char16_t* Out)
{
	char16_t* Write = Out;
	const uint8* Read = reinterpret_cast<const uint8*>(Utf8.data());
	const uint8* const End = Read + Utf8.size();
	while (Read < End)
	{
#if defined(__SSE2__)
		// Strings are mostly ASCII: sixteen bytes to sixteen code units at a time while they are.
		while (End - Read >= 16)
		{
			const __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Read));
			if (_mm_movemask_epi8(Bytes) != 0)
			{
				break;
			}
			_mm_storeu_si128(reinterpret_cast<__m128i*>(Write), _mm_unpacklo_epi8(Bytes, _mm_setzero_si128()));
			_mm_storeu_si128(reinterpret_cast<__m128i*>(Write + 8), _mm_unpackhi_epi8(Bytes, _mm_setzero_si128()));
			Read += 16;
			Write += 16;
		}
#endif
		while (End - Read >= 8)
		{
			uint64 Block;
			std::memcpy(&Block, Read, sizeof(Block));
			if ((Block & 0x8080808080808080ull) != 0)
			{
				break;
			}
			for (int32 Byte = 0; Byte < 8; ++Byte)
			{
				Write[Byte] = char16_t(Read[Byte]);
			}
			Read += 8;
			Write += 8;
		}
		if (Read == End)
		{
			break;
		}

		const uint32 Lead = *Read;
		const SIZE_T Left = SIZE_T(End - Read);
		if (Lead < 0x80)
		{
			*Write++ = char16_t(Lead);
			Read += 1;
		}
		else if (Lead >= 0xC2 && Lead < 0xE0 && Left >= 2 && IsContinuation(Read[1]))
		{
			*Write++ = char16_t(((Lead & 0x1F) << 6) | (Read[1] & 0x3F));
			Read += 2;
		}
		else if (Lead >= 0xE0 && Lead < 0xF0 && Left >= 3 && IsContinuation(Read[1]) && IsContinuation(Read[2]))
		{
			const uint32 CodePoint = ((Lead & 0x0F) << 12) | ((Read[1] & 0x3F) << 6) | (Read[2] & 0x3F);
			const bool bValid = CodePoint >= 0x800 && (CodePoint < 0xD800 || CodePoint >= 0xE000);
			*Write++ = bValid ? char16_t(CodePoint) : ReplacementCharacter;
			Read += 3;
		}
		else if (Lead >= 0xF0 && Lead < 0xF5 && Left >= 4 && IsContinuation(Read[1]) && IsContinuation(Read[2]) && IsContinuation(Read[3]))
		{
			const uint32 CodePoint = ((Lead & 0x07) << 18) | ((Read[1] & 0x3F) << 12) | ((Read[2] & 0x3F) << 6) | (Read[3] & 0x3F);
			if (CodePoint >= 0x10000 && CodePoint < 0x110000)
			{
				*Write++ = char16_t(0xD800 + ((CodePoint - 0x10000) >> 10));
				*Write++ = char16_t(0xDC00 + ((CodePoint - 0x10000) & 0x3FF));
			}
			else
			{
				*Write++ = ReplacementCharacter;
			}
			Read += 4;
		}
		else
		{
			*Write++ = ReplacementCharacter;
			Read += 1;
		}
	}
	return int32(Write - Out);
}
} // namespace

int64 ConvertToUtf8(const TCHAR* Source, int32 Length, char* Out)
{
	char* Write = Out;
	int32 Index = 0;
	while (Index < Length)
	{
		// JSON text is mostly ASCII: sixteen code units at a time while they are.
#if defined(__SSE2__)
		const __m128i NonAscii = _mm_set1_epi16(short(0xFF80));
		while (Index + 16 <= Length)
		{
			const __m128i Low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + Index));
			const __m128i High = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + Index + 8));
			if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(Low, High), NonAscii), _mm_setzero_si128())) != 0xFFFF)
			{
				break;
			}
			_mm_storeu_si128(reinterpret_cast<__m128i*>(Write), _mm_packus_epi16(Low, High));
			Write += 16;
			Index += 16;
		}
#endif
		while (Index + 4 <= Length)
		{
			uint64 Block;
			std::memcpy(&Block, Source + Index, sizeof(Block));
			if ((Block & 0xFF80FF80FF80FF80ull) != 0)
			{
				break;
			}
			Write[0] = char(Block);
			Write[1] = char(Block >> 16);
			Write[2] = char(Block >> 32);
			Write[3] = char(Block >> 48);
			Write += 4;
			Index += 4;
		}
		if (Index == Length)
		{
			break;
		}

		const uint32 Unit = Source[Index++];
		if (Unit < 0x80)
		{
			*Write++ = char(Unit);
		}
		else if (Unit < 0x800)
		{
			*Write++ = char(0xC0 | (Unit >> 6));
			*Write++ = char(0x80 | (Unit & 0x3F));
		}
		else if (Unit < 0xD800 || Unit >= 0xE000)
		{
			*Write++ = char(0xE0 | (Unit >> 12));
			*Write++ = char(0x80 | ((Unit >> 6) & 0x3F));
			*Write++ = char(0x80 | (Unit & 0x3F));
		}
		else if (Unit < 0xDC00 && Index < Length && Source[Index] >= 0xDC00 && Source[Index] < 0xE000)
		{
			const uint32 CodePoint = 0x10000 + ((Unit - 0xD800) << 10) + (uint32(Source[Index++]) - 0xDC00);
			*Write++ = char(0xF0 | (CodePoint >> 18));
			*Write++ = char(0x80 | ((CodePoint >> 12) & 0x3F));
			*Write++ = char(0x80 | ((CodePoint >> 6) & 0x3F));
			*Write++ = char(0x80 | (CodePoint & 0x3F));
		}
		else
		{
			return -1;
		}
	}
	return int64(Write - Out);
}

FString ConvertToString(std::string_view Utf8)
{
	// Names and short strings, the bulk of any message, go through a buffer on the stack straight into the engine
	// string: one copy, no reallocation.
	constexpr SIZE_T ShortText = 64;
	if (Utf8.size() <= ShortText)
	{
		char16_t Buffer[ShortText];
		return FString(Widen(Utf8, Buffer), Buffer);
	}
	// Never more code units than bytes; the surplus is cut off at the end.
	std::u16string Text(Utf8.size(), u'\0');
	Text.resize(SIZE_T(Widen(Utf8, Text.data())));
	return FString(MoveTemp(Text));
}
} // namespace UE::Json::Private
