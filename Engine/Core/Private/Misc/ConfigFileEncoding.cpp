#include "ConfigFileEncoding.h"

#include "Containers/StringConv.h"

EConfigFileEncoding FConfigFileEncoding::Detect(std::string_view Bytes)
{
	for (const EConfigFileEncoding Candidate : {EConfigFileEncoding::Utf8WithByteOrderMark, EConfigFileEncoding::Utf16LE, EConfigFileEncoding::Utf16BE})
	{
		if (Bytes.substr(0, ByteOrderMark(Candidate).size()) == ByteOrderMark(Candidate))
		{
			return Candidate;
		}
	}
	return EConfigFileEncoding::Utf8;
}

std::string_view FConfigFileEncoding::ByteOrderMark(EConfigFileEncoding Encoding)
{
	switch (Encoding)
	{
	case EConfigFileEncoding::Utf8WithByteOrderMark:
		return "\xEF\xBB\xBF";
	case EConfigFileEncoding::Utf16LE:
		return "\xFF\xFE";
	case EConfigFileEncoding::Utf16BE:
		return "\xFE\xFF";
	case EConfigFileEncoding::Utf8:
		break;
	}
	return {};
}

size_t FConfigFileEncoding::CodeUnitSize(EConfigFileEncoding Encoding)
{
	return Encoding == EConfigFileEncoding::Utf16LE || Encoding == EConfigFileEncoding::Utf16BE ? 2 : 1;
}

bool FConfigFileEncoding::Decode(EConfigFileEncoding Encoding, std::string_view Bytes, FString& OutText)
{
	if (CodeUnitSize(Encoding) == 1)
	{
		// The engine's converter turns what is not UTF-8 into U+FFFD; only text that converts back to the same bytes
		// was read whole.
		const FUTF8ToTCHAR Text(Bytes.data(), int32(Bytes.size()));
		OutText = FString(Text.Length(), Text.Get());
		const FTCHARToUTF8 Again(Text.Get(), Text.Length());
		return std::string_view(Again.Get(), size_t(Again.Length())) == Bytes;
	}
	// An unpaired surrogate is kept as it is: the engine's strings are UTF-16 too.
	const bool bBigEndian = Encoding == EConfigFileEncoding::Utf16BE;
	std::basic_string<TCHAR> Units;
	Units.reserve(Bytes.size() / 2);
	for (size_t Index = 0; Index + 1 < Bytes.size(); Index += 2)
	{
		const uint8 First = uint8(Bytes[Index]);
		const uint8 Second = uint8(Bytes[Index + 1]);
		Units.push_back(TCHAR(bBigEndian ? (First << 8) | Second : (Second << 8) | First));
	}
	OutText = FString(std::move(Units));
	return Bytes.size() % 2 == 0;
}

bool FConfigFileEncoding::Encode(EConfigFileEncoding Encoding, const FString& Text, std::string& OutBytes)
{
	if (CodeUnitSize(Encoding) == 1)
	{
		// The engine's converter turns an unpaired surrogate into U+FFFD; only text that converts back unchanged fits.
		const FTCHARToUTF8 Bytes(*Text, Text.Len());
		OutBytes.assign(Bytes.Get(), size_t(Bytes.Length()));
		const FUTF8ToTCHAR Again(Bytes.Get(), Bytes.Length());
		return FString(Again.Length(), Again.Get()).GetStdString() == Text.GetStdString();
	}
	const bool bBigEndian = Encoding == EConfigFileEncoding::Utf16BE;
	OutBytes.clear();
	OutBytes.reserve(size_t(Text.Len()) * 2);
	for (const TCHAR Unit : Text.GetStdString())
	{
		const char High = char(uint16(Unit) >> 8);
		const char Low = char(uint16(Unit) & 0xFF);
		OutBytes.push_back(bBigEndian ? High : Low);
		OutBytes.push_back(bBigEndian ? Low : High);
	}
	return true;
}
