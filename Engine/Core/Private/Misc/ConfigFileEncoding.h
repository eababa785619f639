#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <string>
#include <string_view>

/** The encodings the engine reads .ini files in; it writes UTF-16LE with a byte-order mark for non-ASCII text. */
enum class EConfigFileEncoding : uint8
{
	Utf8,
	Utf8WithByteOrderMark,
	Utf16LE,
	Utf16BE,
};

/** Conversions between a configuration file's bytes and the engine's UTF-16 text. Stateless; any thread. */
class FConfigFileEncoding
{
public:
	/** The encoding the byte-order mark at the start names; bytes without one are UTF-8. */
	static EConfigFileEncoding Detect(std::string_view Bytes);
	static std::string_view ByteOrderMark(EConfigFileEncoding Encoding);
	/** Bytes per code unit: 1 for UTF-8, 2 for UTF-16. */
	static size_t CodeUnitSize(EConfigFileEncoding Encoding);

	/**
	 * Decodes bytes without a byte-order mark. False when some bytes are not valid in the encoding: they read as
	 * U+FFFD, so the text cannot be written back as it was. An odd trailing byte of UTF-16 is ignored (and false).
	 */
	static bool Decode(EConfigFileEncoding Encoding, std::string_view Bytes, FString& OutText);
	/** Encodes text without a byte-order mark. False when the encoding cannot carry it (an unpaired surrogate in UTF-8). */
	static bool Encode(EConfigFileEncoding Encoding, const FString& Text, std::string& OutBytes);
};
