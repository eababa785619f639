// The text a JSON parse reads, and what went wrong when it did not parse.
//
// Threads: a reader belongs to one thread at a time; a parse writes its error message.
#pragma once

#include "CoreMinimal.h"

#include <type_traits>

class FJsonSerializer;

template <class CharType = TCHAR> class TJsonReader
{
	static_assert(std::is_same_v<CharType, TCHAR>, "Only readers over TCHAR text exist here");

public:
	explicit TJsonReader(const FString& InText)
	    : Text(InText)
	{
	}
	explicit TJsonReader(FString&& InText)
	    : Text(MoveTemp(InText))
	{
	}

	/** Why the last parse failed; empty before any parse and after one that succeeded. */
	const FString& GetErrorMessage() const { return ErrorMessage; }

	const FString& GetText() const { return Text; }

private:
	friend class FJsonSerializer;

	FString Text;
	FString ErrorMessage;
};

template <class CharType = TCHAR> class TJsonReaderFactory
{
public:
	/** A reader over a copy of JsonString. */
	static TSharedRef<TJsonReader<CharType>> Create(const FString& JsonString) { return MakeShared<TJsonReader<CharType>>(JsonString); }
	/** A reader that takes JsonString's text over without copying it. */
	static TSharedRef<TJsonReader<CharType>> Create(FString&& JsonString) { return MakeShared<TJsonReader<CharType>>(MoveTemp(JsonString)); }
};
