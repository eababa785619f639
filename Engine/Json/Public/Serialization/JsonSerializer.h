// Turns JSON text into the engine's DOM (FJsonObject and FJsonValue trees).
//
// A parse succeeds only when the whole text is one well-formed JSON value (RFC 8259) with nothing but white space
// (space, tab, line feed, carriage return) around it, and the value is of the kind the overload asks for. On
// failure the out argument is left as it was and the reader's GetErrorMessage says why. As the engine does, a
// parse takes true, false and null in any letter case ("TRUE", "Null"). Beyond standard JSON, a parse also fails on:
//   - a \u escape that is half of a surrogate pair without its other half, an integer that needs more than 64 bits,
//     and a number beyond the range of a double (the engine would read such numbers as doubles);
//   - a byte-order mark before the value (it is not white space);
//   - text holding an unpaired UTF-16 surrogate.
// Every number becomes an FJsonValueNumber holding the nearest double ("-0" reads as the integer 0, so it loses the
// sign that "-0.0" keeps). Every string and name reads back exactly as its characters were written, escapes
// resolved: text made by widening UTF-8 bytes one by one stays byte-wide characters, "\u00e9" becomes U+00E9 and
// "\ud83d\ude00" a surrogate pair. A name repeated within one object keeps its first position and takes the
// last value, as TMap::Add gives it.
//
// Depth: as in the engine, there is no limit. The parse itself does not recurse, but every array and object is a
// value of its own held by a shared pointer, and a tree is released recursively, one call per level, when its last
// pointer goes. A text of a few thousand nested brackets thus parses on any stack and may overflow a small one when
// the tree goes; whoever parses text from outside must bound its depth first.
//
// Threads: any number of threads may parse at once, each with its own reader; a parse shares nothing with another.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Serialization/JsonReader.h"

class FJsonSerializer
{
public:
	/** Parses a text whose top level is an object. */
	template <class CharType> static bool Deserialize(const TSharedRef<TJsonReader<CharType>>& Reader, TSharedPtr<FJsonObject>& OutObject)
	{
		return ParseInto(*Reader, nullptr, &OutObject, nullptr);
	}

	/** Parses a text whose top level is an array, into its elements. */
	template <class CharType> static bool Deserialize(const TSharedRef<TJsonReader<CharType>>& Reader, TArray<TSharedPtr<FJsonValue>>& OutArray)
	{
		return ParseInto(*Reader, nullptr, nullptr, &OutArray);
	}

	/** Parses a text whose top level is any value. */
	template <class CharType> static bool Deserialize(const TSharedRef<TJsonReader<CharType>>& Reader, TSharedPtr<FJsonValue>& OutValue)
	{
		return ParseInto(*Reader, &OutValue, nullptr, nullptr);
	}

private:
	/** Parses Reader's text into the one out argument that is not null; sets or clears Reader's error message. */
	JSON_API static bool ParseInto(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>* OutValue, TSharedPtr<FJsonObject>* OutObject,
	                               TArray<TSharedPtr<FJsonValue>>* OutArray);
};
