// What the Json tests share: text made the way the receiver makes it, parsing shortcuts.
#pragma once

#include "CoreMinimal.h"
#include "Serialization/JsonSerializer.h"

#include <string>
#include <string_view>
#include <vector>

namespace JsonTest
{
/** Each byte one character of the same value, as the receiver widens a datagram. */
inline FString Widen(std::string_view Bytes)
{
	std::u16string Text;
	Text.reserve(Bytes.size());
	for (const char Byte : Bytes)
	{
		Text.push_back(char16_t(uint8(Byte)));
	}
	return FString(std::move(Text));
}

inline TSharedPtr<FJsonObject> ParseObject(std::string_view Bytes)
{
	TSharedPtr<FJsonObject> Object;
	return FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Widen(Bytes)), Object) ? Object : nullptr;
}

inline TSharedPtr<FJsonValue> ParseValue(const FString& Text)
{
	TSharedPtr<FJsonValue> Value;
	return FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Value) ? Value : nullptr;
}

/** The names of Fields in iteration order. */
inline std::vector<std::u16string> KeysOf(const TMap<FString, TSharedPtr<FJsonValue>>& Fields)
{
	std::vector<std::u16string> Keys;
	for (const auto& Field : Fields)
	{
		Keys.push_back(Field.Key.GetStdString());
	}
	return Keys;
}

inline std::string Nested(int32 Depth, std::string_view Open, std::string_view Inner, std::string_view Close)
{
	std::string Text;
	for (int32 Level = 0; Level < Depth; ++Level)
	{
		Text += Open;
	}
	Text += Inner;
	for (int32 Level = 0; Level < Depth; ++Level)
	{
		Text += Close;
	}
	return Text;
}
} // namespace JsonTest
