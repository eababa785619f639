// FString: the engine's growable UTF-16 string. Comparison and hashing ignore letter case unless a caller
// asks otherwise, as the engine's do (ASCII letters only).
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Misc/CString.h"
#include "Misc/Char.h"

#include <string>
#include <type_traits>

namespace ESearchCase
{
enum Type
{
	CaseSensitive,
	IgnoreCase,
};
} // namespace ESearchCase

/** One argument of FString::Printf, captured with its type so that formatting never reads the wrong type. */
struct CORE_API FStringFormatArg
{
	enum class EKind : uint8
	{
		Signed,
		Unsigned,
		Double,
		WideText,
		NarrowText,
		Pointer
	};

	EKind Kind;
	/** Size of an integer argument, so that a negative one read as unsigned (%u, %x) keeps to its own width. */
	uint8 IntegerBytes = sizeof(int64);
	union
	{
		int64 SignedValue;
		uint64 UnsignedValue;
		double DoubleValue;
		const TCHAR* WideText;
		const ANSICHAR* NarrowText;
		const void* Pointer;
	};

	template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T>, int> = 0>
	FStringFormatArg(T Value)
	    : Kind(EKind::Signed)
	    , IntegerBytes(uint8(sizeof(T)))
	    , SignedValue(Value)
	{
	}
	template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_signed_v<T>, int> = 0>
	FStringFormatArg(T Value)
	    : Kind(EKind::Unsigned)
	    , UnsignedValue(Value)
	{
	}
	template <typename T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
	FStringFormatArg(T Value)
	    : Kind(EKind::Signed)
	    , IntegerBytes(uint8(sizeof(T)))
	    , SignedValue(int64(Value))
	{
	}
	FStringFormatArg(double Value)
	    : Kind(EKind::Double)
	    , DoubleValue(Value)
	{
	}
	FStringFormatArg(const TCHAR* Value)
	    : Kind(EKind::WideText)
	    , WideText(Value)
	{
	}
	FStringFormatArg(const ANSICHAR* Value)
	    : Kind(EKind::NarrowText)
	    , NarrowText(Value)
	{
	}
	FStringFormatArg(const void* Value)
	    : Kind(EKind::Pointer)
	    , Pointer(Value)
	{
	}
};

class CORE_API FString
{
public:
	FString() = default;
	FString(const TCHAR* Text)
	    : Data(Text ? Text : TEXT(""))
	{
	}
	/** Converts 8-bit text as the engine does: bytes from 0x80 up become '?'. Null reads as empty. */
	FString(const ANSICHAR* Text);
	/** Takes Count code units from Text (null or Count <= 0 gives an empty string). */
	FString(int32 Count, const TCHAR* Text);
	explicit FString(std::basic_string<TCHAR> Text)
	    : Data(std::move(Text))
	{
	}

	/** The text with its terminator; never null. */
	const TCHAR* operator*() const { return Data.c_str(); }

	int32 Len() const { return int32(Data.size()); }
	bool IsEmpty() const { return Data.empty(); }
	void Empty(int32 Slack = 0);
	void Reserve(int32 CharacterCount) { Data.reserve(CharacterCount > 0 ? size_t(CharacterCount) : 0); }

	TCHAR& operator[](int32 Index) { return Data[Index]; }
	const TCHAR& operator[](int32 Index) const { return Data[Index]; }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Len(); }

	FString& Append(const TCHAR* Text, int32 Count);
	FString& Append(const FString& Text);
	/** Inline: callers build text a character at a time on hot paths. */
	FString& AppendChar(TCHAR Character)
	{
		Data.push_back(Character);
		return *this;
	}
	/** Appends Count 8-bit characters, each byte from 0x80 up as '?' (as the engine does); null or Count <= 0 appends nothing. */
	FString& AppendChars(const ANSICHAR* Text, int32 Count);
	/** Appends the decimal text of Number, with a minus sign when negative. */
	void AppendInt(int32 Number);

	FString& operator+=(const FString& Text) { return Append(Text); }
	FString& operator+=(const TCHAR* Text) { return Append(FString(Text)); }
	FString& operator+=(TCHAR Character) { return AppendChar(Character); }

	bool Equals(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
	/** Negative, zero or positive like strcmp; IgnoreCase folds ASCII letters. */
	int32 Compare(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;

	bool StartsWith(const FString& Prefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const FString& Suffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	/** Index of the first occurrence of Needle at or after StartPosition, or INDEX_NONE. */
	int32 Find(const FString& Needle, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, int32 StartPosition = 0) const;
	bool Contains(const FString& Needle, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const { return Find(Needle, SearchCase) != INDEX_NONE; }

	/** Substrings; out-of-range positions and counts are clamped to the string. */
	FString Left(int32 Count) const { return Mid(0, Count); }
	FString Right(int32 Count) const;
	FString Mid(int32 Start, int32 Count = 0x7fffffff) const;
	FString TrimStartAndEnd() const;
	FString ToUpper() const;
	FString ToLower() const;

	/**
	 * Splits the text at each occurrence of pchDelim (case-sensitive) into OutArray and returns the number of
	 * pieces. Culling drops empty pieces; without it "1..2:" split on "." keeps {"1", "", "2:"}. As in the engine,
	 * the text ends at its first terminator, and an empty text or delimiter gives no pieces; pchDelim must not be null.
	 */
	int32 ParseIntoArray(TArray<FString>& OutArray, const TCHAR* pchDelim, bool InCullEmpty = true) const;

	/** True for an optional sign, digits and at most one '.', with at least one digit and nothing else. */
	bool IsNumeric() const;

	static FString FromInt(int32 Number);

	/** printf-style formatting: %s takes TCHAR text (or 8-bit text), %d/%u/%x take any integer, %f/%g any floating value. */
	template <typename... ArgTypes> static FString Printf(const TCHAR* Format, ArgTypes... Args)
	{
		const FStringFormatArg Captured[] = {FStringFormatArg(Args)..., FStringFormatArg(0)};
		return PrintfImpl(Format, Captured, int32(sizeof...(Args)));
	}

	const std::basic_string<TCHAR>& GetStdString() const { return Data; }

private:
	static FString PrintfImpl(const TCHAR* Format, const FStringFormatArg* Args, int32 ArgCount);

	std::basic_string<TCHAR> Data;
};

// Comparison ignores letter case, as the engine's FString operators do.
CORE_API bool operator==(const FString& Lhs, const FString& Rhs);
CORE_API bool operator==(const FString& Lhs, const TCHAR* Rhs);
inline bool operator==(const TCHAR* Lhs, const FString& Rhs) { return Rhs == Lhs; }
inline bool operator!=(const FString& Lhs, const FString& Rhs) { return !(Lhs == Rhs); }
inline bool operator!=(const FString& Lhs, const TCHAR* Rhs) { return !(Lhs == Rhs); }
inline bool operator!=(const TCHAR* Lhs, const FString& Rhs) { return !(Rhs == Lhs); }
inline bool operator<(const FString& Lhs, const FString& Rhs) { return Lhs.Compare(Rhs, ESearchCase::IgnoreCase) < 0; }

CORE_API FString operator+(const FString& Lhs, const FString& Rhs);
CORE_API FString operator+(const FString& Lhs, const TCHAR* Rhs);
CORE_API FString operator+(const TCHAR* Lhs, const FString& Rhs);

/** Hash that ignores letter case, so that it agrees with operator==. */
CORE_API uint32 GetTypeHash(const FString& Text);
