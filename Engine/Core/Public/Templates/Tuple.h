#pragma once

#include <utility>

/** A key and its value, as a map hands them out. */
template <typename KeyType, typename ValueType> struct TPair
{
	KeyType Key;
	ValueType Value;

	TPair() = default;
	template <typename KeyArgType, typename ValueArgType>
	TPair(KeyArgType&& InKey, ValueArgType&& InValue)
	    : Key(std::forward<KeyArgType>(InKey))
	    , Value(std::forward<ValueArgType>(InValue))
	{
	}

	bool operator==(const TPair& Other) const { return Key == Other.Key && Value == Other.Value; }
	bool operator!=(const TPair& Other) const { return !(*this == Other); }
};
