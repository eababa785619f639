// The fields of a JSON object: what the engine keeps in a TMap<FString, TSharedPtr<FJsonValue>>, here kept in the
// order the fields were first added, so that a parsed object iterates in document order.
//
// 1. Names compare ignoring ASCII letter case, as FString's == does: "location" finds "Location".
// 2. Adding a name that is already there (letter case aside) replaces that field's name and value in its place,
//    as TMap::Add replaces its pair: the field keeps its first position and takes the last value.
// 3. Up to LinearSearchLimit fields a lookup compares names one by one; past that a hash index over the names
//    makes lookups and additions O(1) on average. The hash is seeded once per process, so that a sender cannot
//    pick thousands of names that all land in one slot and make building one object quadratic.
// 4. Removal keeps the order of the other fields and costs O(Num).
//
// Threads: none of its own. Reads from any number of threads at once are safe while no thread changes the map.
#pragma once

#include "CoreMinimal.h"

class FJsonValue;

/** One field: its name as written and its value. Changing Key in place is not allowed; remove and add instead. */
struct FJsonField
{
	FString Key;
	TSharedPtr<FJsonValue> Value;
};

class JSON_API FJsonFieldMap
{
public:
	typedef FJsonField ElementType;

	/** Objects up to this many fields are searched name by name, which is faster than hashing for them. */
	static constexpr int32 LinearSearchLimit = 16;

	int32 Num() const { return Fields.Num(); }
	bool IsEmpty() const { return Fields.IsEmpty(); }

	/** The value stored under Key (letter case ignored), or null when there is no such field. */
	TSharedPtr<FJsonValue>* Find(const FString& Key);
	const TSharedPtr<FJsonValue>* Find(const FString& Key) const;
	bool Contains(const FString& Key) const { return Find(Key) != nullptr; }

	/** Adds the field at the end, or replaces the name and value of the field already named Key; returns the stored value. */
	TSharedPtr<FJsonValue>& Add(const FString& Key, TSharedPtr<FJsonValue> Value);
	TSharedPtr<FJsonValue>& Add(FString&& Key, TSharedPtr<FJsonValue> Value);

	/** Removes the field named Key, if any, keeping the order of the rest; returns how many fields went (0 or 1). */
	int32 Remove(const FString& Key);
	/** Removes every field. */
	void Empty();
	/** Makes room for Number fields in all, so that adding up to that many allocates nothing more. Negative is 0. */
	void Reserve(int32 Number);

	// Iteration in order, as pairs with Key and Value.
	auto begin() { return Fields.begin(); }
	auto end() { return Fields.end(); }
	auto begin() const { return Fields.begin(); }
	auto end() const { return Fields.end(); }

private:
	/** Position of the field named Key in Fields, or INDEX_NONE. */
	int32 IndexOf(const FString& Key) const;
	/** Sizes the index for at least Capacity fields and fills it from Fields. */
	void Rehash(int32 Capacity);
	TSharedPtr<FJsonValue>& AddImpl(FString&& Key, TSharedPtr<FJsonValue>&& Value);

	TArray<FJsonField> Fields;
	/**
	 * Open-addressed hash index: each slot holds a position in Fields or INDEX_NONE. Empty while the map has at most
	 * LinearSearchLimit fields; otherwise its size is a power of two, at least twice the number of fields.
	 */
	TArray<int32> Slots;
};
