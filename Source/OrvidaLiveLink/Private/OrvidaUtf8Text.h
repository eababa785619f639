#pragma once

#include "CoreMinimal.h"

/**
 * A datagram's bytes as engine text. A camera application writes its JSON as UTF-8; the engine's own 8-bit
 * conversions would turn every byte from 0x80 up into '?', so a slate "Scène 4" would reach the Take Recorder as
 * "Sc??ne 4". The decoder turns bytes into text here instead.
 */
class ORVIDALIVELINK_API FOrvidaUtf8Text
{
public:
	/**
	 * Decodes Count bytes as UTF-8 into UTF-16 text (characters beyond U+FFFF as surrogate pairs). Zero bytes are
	 * dropped wherever they stand, before decoding. Each maximal ill-formed part (a stray continuation byte, a
	 * truncated sequence, an overlong form, an encoded surrogate, a value beyond U+10FFFF) becomes one U+FFFD, and
	 * decoding goes on with the next byte, so an ASCII byte is never swallowed. ASCII text passes unchanged.
	 */
	static FString Decode(const uint8* Bytes, int32 Count);
};
