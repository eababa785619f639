// TMap: keys to values, each key once. Pairs iterate in the order their keys were first added, as the engine's
// map does while nothing is removed; removing keeps the order of the rest.
//
// Lookups compare keys with operator== one pair after another: the maps the stand-in keeps (string metadata,
// a client's subjects) hold a handful of pairs, where a scan beats hashing. A map that must hold thousands of
// keys fed from outside wants a hashed container instead.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Templates/Tuple.h"

#include <utility>

template <typename InKeyType, typename InValueType> class TMap
{
public:
	typedef InKeyType KeyType;
	typedef InValueType ValueType;
	typedef TPair<KeyType, ValueType> ElementType;

	TMap() = default;

	int32 Num() const { return Pairs.Num(); }
	bool IsEmpty() const { return Pairs.IsEmpty(); }

	/** Sets the value of Key; an existing key keeps its place and takes the new value. Returns the stored value. */
	ValueType& Add(const KeyType& Key, const ValueType& Value) { return Emplace(Key, Value); }
	ValueType& Add(const KeyType& Key, ValueType&& Value) { return Emplace(Key, std::move(Value)); }
	template <typename ArgType> ValueType& Emplace(const KeyType& Key, ArgType&& Value)
	{
		if (ValueType* Existing = Find(Key))
		{
			*Existing = std::forward<ArgType>(Value);
			return *Existing;
		}
		return Pairs[Pairs.Add(ElementType(Key, std::forward<ArgType>(Value)))].Value;
	}

	/** The value of Key, or null when the key is absent. The pointer lasts until the map next changes. */
	ValueType* Find(const KeyType& Key)
	{
		const int32 Index = IndexOf(Key);
		return Index == INDEX_NONE ? nullptr : &Pairs[Index].Value;
	}
	const ValueType* Find(const KeyType& Key) const
	{
		const int32 Index = IndexOf(Key);
		return Index == INDEX_NONE ? nullptr : &Pairs[Index].Value;
	}
	/** A copy of the value of Key, or a default-constructed value when the key is absent. */
	ValueType FindRef(const KeyType& Key) const
	{
		const ValueType* Value = Find(Key);
		return Value ? *Value : ValueType();
	}
	/** The value of Key, added default-constructed when the key is absent. */
	ValueType& FindOrAdd(const KeyType& Key)
	{
		if (ValueType* Existing = Find(Key))
		{
			return *Existing;
		}
		return Pairs[Pairs.Add(ElementType(Key, ValueType()))].Value;
	}
	/** The value of Key, which must be present (asserts otherwise). */
	ValueType& FindChecked(const KeyType& Key)
	{
		ValueType* Value = Find(Key);
		check(Value != nullptr);
		return *Value;
	}
	const ValueType& FindChecked(const KeyType& Key) const
	{
		const ValueType* Value = Find(Key);
		check(Value != nullptr);
		return *Value;
	}
	bool Contains(const KeyType& Key) const { return IndexOf(Key) != INDEX_NONE; }

	/** Removes Key; returns how many pairs went (0 or 1). */
	int32 Remove(const KeyType& Key)
	{
		const int32 Index = IndexOf(Key);
		if (Index == INDEX_NONE)
		{
			return 0;
		}
		Pairs.RemoveAt(Index);
		return 1;
	}
	void Empty() { Pairs.Empty(); }
	void Reset() { Pairs.Reset(); }

	/** Replaces OutKeys with the keys in map order; returns their number. */
	int32 GetKeys(TArray<KeyType>& OutKeys) const
	{
		OutKeys.Reset();
		for (const ElementType& Pair : Pairs)
		{
			OutKeys.Add(Pair.Key);
		}
		return OutKeys.Num();
	}

	auto begin() { return Pairs.begin(); }
	auto end() { return Pairs.end(); }
	auto begin() const { return Pairs.begin(); }
	auto end() const { return Pairs.end(); }

private:
	int32 IndexOf(const KeyType& Key) const
	{
		for (int32 Index = 0; Index < Pairs.Num(); ++Index)
		{
			if (Pairs[Index].Key == Key)
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}

	TArray<ElementType> Pairs;
};
