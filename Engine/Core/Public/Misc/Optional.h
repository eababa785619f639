#pragma once

#include "CoreTypes.h"

#include <optional>

/** An optional value with the engine's names. */
template <typename OptionalType> class TOptional
{
public:
	TOptional() = default;
	TOptional(const OptionalType& InValue)
	    : Value(InValue)
	{
	}
	TOptional(OptionalType&& InValue)
	    : Value(std::move(InValue))
	{
	}

	bool IsSet() const { return Value.has_value(); }
	explicit operator bool() const { return IsSet(); }
	const OptionalType& GetValue() const
	{
		check(IsSet());
		return *Value;
	}
	OptionalType& GetValue()
	{
		check(IsSet());
		return *Value;
	}
	const OptionalType& Get(const OptionalType& DefaultValue) const { return IsSet() ? *Value : DefaultValue; }
	void Reset() { Value.reset(); }
	template <typename... ArgTypes> OptionalType& Emplace(ArgTypes&&... Args) { return Value.emplace(std::forward<ArgTypes>(Args)...); }

	bool operator==(const TOptional& Other) const { return Value == Other.Value; }
	bool operator!=(const TOptional& Other) const { return Value != Other.Value; }

private:
	std::optional<OptionalType> Value;
};
