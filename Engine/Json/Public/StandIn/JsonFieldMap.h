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
// 5. A parse hands a small object's ASCII names over as the text it read, and they become engine strings only
//    when something iterates the fields or changes the map: most readers only look fields up by name, and making
//    a string of every name took a fifth of the time that a parse and its release took.
//
// Threads: none of its own. Reads from any number of threads at once are safe while no thread changes the map;
// iterating counts as a read. The first iteration of a parsed map makes its names strings, once: one thread
// writes them while any other that iterates at the same moment waits.
#pragma once

#include "CoreMinimal.h"

#include <atomic>
#include <type_traits>

class FJsonValue;

namespace UE::Json::Private
{
class FTreeBuilder;
}

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

	FJsonFieldMap() = default;
	/** Copies every field; the copy holds its names as strings whatever Other holds. */
	FJsonFieldMap(const FJsonFieldMap& Other);
	/** Takes Other's fields over and leaves it empty. */
	FJsonFieldMap(FJsonFieldMap&& Other);
	FJsonFieldMap& operator=(const FJsonFieldMap& Other);
	FJsonFieldMap& operator=(FJsonFieldMap&& Other);

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
	auto begin()
	{
		MakeKeys();
		return Fields.begin();
	}
	auto end() { return Fields.end(); }
	auto begin() const
	{
		MakeKeys();
		return Fields.begin();
	}
	auto end() const { return Fields.end(); }

private:
	friend class UE::Json::Private::FTreeBuilder;

	/** A name as a parse read it: ASCII text in memory that lives as long as the parse's values. */
	struct FParsedName
	{
		const ANSICHAR* Text;
		int32 Length;
		/** Equal for names that compare equal, and rarely for others, so that most comparisons stop at it. */
		uint32 Signature;
	};

	/** The signature of a name of Length characters, parsed ASCII text or an engine string's code units. */
	template <typename CharType> static uint32 MakeSignature(const CharType* Text, int32 Length)
	{
		if (Length == 0)
		{
			return 0;
		}
		// Setting bit 5 makes letters of either case alike, so names that are equal ignoring case sign alike.
		const auto Fold = [](CharType Character) { return uint32(std::make_unsigned_t<CharType>(Character)) | 0x20u; };
		return uint32(Length) * 2654435761u ^ (Fold(Text[0]) << 16) ^ Fold(Text[Length - 1]);
	}

	/** Makes an empty map take names as parsed text, in Storage, which has room for every field the parse adds. */
	void BeginParsedNames(FParsedName* Storage) { ParsedNames = Storage; }
	/** Adds a field named by parsed text, replacing as Add does. Only while the map takes parsed names. */
	void AddParsed(FParsedName Name, TSharedPtr<FJsonValue>&& Value);
	/** Position of the field whose parsed name is Key, or INDEX_NONE. */
	int32 IndexOfParsed(const FString& Key) const;
	/** Gives every field its name as a string, once; safe from readers on several threads. */
	void MakeKeys() const
	{
		if (ParsedNames != nullptr && KeysState.load(std::memory_order_acquire) != EKeysState::Made)
		{
			MakeKeysOnce();
		}
	}
	void MakeKeysOnce() const;
	/** Before a change: the names become strings for good and the parsed text is no longer used. */
	void EndParsedNames();

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
	/**
	 * While not null, field I's name is ParsedNames[I] and lookups compare against it; its Key is empty until
	 * KeysState is Made. Only small maps take parsed names, so they never have a hash index at the same time.
	 */
	FParsedName* ParsedNames = nullptr;
	enum class EKeysState : uint8
	{
		NotMade,
		/** One thread is writing the names; others wait for it. */
		Making,
		/** Every Key holds its name; stored with release order. */
		Made,
	};
	mutable std::atomic<EKeysState> KeysState{EKeysState::NotMade};
};
