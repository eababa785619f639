// FText: text shown to a user. A localisable text remembers its namespace and key beside its source string;
// this stand-in has no translations, so the display string is always the source string.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/Optional.h"

#include <memory>

class CORE_API FText
{
public:
	/** Empty text with no namespace or key. */
	FText();

	static const FText& GetEmpty();
	/** Text that is not localisable (no namespace, no key). */
	static FText FromString(const FString& String);
	static FText FromString(FString&& String);
	static FText AsCultureInvariant(const FString& String) { return FromString(String); }

	/**
	 * The pattern with each "{0}", "{1}"... replaced by that argument's display string; a placeholder with no
	 * argument of its number stays as written. The engine's takes an FTextFormat, which an FText converts to, and
	 * arguments of other kinds too; the stand-in takes texts only.
	 */
	template <typename... ArgTypes> static FText Format(const FText& Pattern, const FText& First, const ArgTypes&... Rest)
	{
		const FText Arguments[] = {First, FText(Rest)...};
		return FormatOrdered(Pattern, Arguments, int32(1 + sizeof...(Rest)));
	}

	const FString& ToString() const;
	bool IsEmpty() const { return ToString().IsEmpty(); }
	/** Same display string, compared exactly. */
	bool EqualTo(const FText& Other) const { return ToString().Equals(Other.ToString(), ESearchCase::CaseSensitive); }
	bool IdenticalTo(const FText& Other) const { return Data == Other.Data; }

private:
	friend class FInternationalization;
	friend class FTextInspector;

	struct FTextData
	{
		FString SourceString;
		TOptional<FString> Namespace;
		TOptional<FString> Key;
	};

	static FText FormatOrdered(const FText& Pattern, const FText* Arguments, int32 ArgumentCount);

	explicit FText(std::shared_ptr<const FTextData> InData)
	    : Data(std::move(InData))
	{
	}

	/** Shared and immutable, so that copies are cheap and safe to hand between threads. */
	std::shared_ptr<const FTextData> Data;
};

/** Reads what a text was made from. */
class CORE_API FTextInspector
{
public:
	/** The namespace of a localisable text; unset for a text made from a plain string. */
	static TOptional<FString> GetNamespace(const FText& Text) { return Text.Data->Namespace; }
	/** The key of a localisable text; unset for a text made from a plain string. */
	static TOptional<FString> GetKey(const FText& Text) { return Text.Data->Key; }
	static const FString& GetSourceString(const FText& Text) { return Text.Data->SourceString; }
};
