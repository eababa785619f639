#include "StandIn/JsonFieldMap.h"

#include "Dom/JsonValue.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <random>

namespace
{
struct FHashSeed
{
	uint64 Key0;
	uint64 Key1;
};

/** Drawn once per process; when the system has no random source, the clock and an address are the fallback. */
const FHashSeed& GetHashSeed()
{
	static const FHashSeed Seed = []
	{
		FHashSeed Result;
		try
		{
			std::random_device Device;
			Result.Key0 = (uint64(Device()) << 32) ^ uint64(Device());
			Result.Key1 = (uint64(Device()) << 32) ^ uint64(Device());
		}
		catch (...)
		{
			Result.Key0 = uint64(std::chrono::steady_clock::now().time_since_epoch().count());
			Result.Key1 = uint64(reinterpret_cast<UPTRINT>(&Result)) * 0x9E3779B97F4A7C15ull;
		}
		return Result;
	}();
	return Seed;
}

constexpr uint64 RotateLeft(uint64 Value, int32 Bits) { return (Value << Bits) | (Value >> (64 - Bits)); }

struct FSipState
{
	uint64 V0, V1, V2, V3;

	void Round()
	{
		V0 += V1;
		V1 = RotateLeft(V1, 13);
		V1 ^= V0;
		V0 = RotateLeft(V0, 32);
		V2 += V3;
		V3 = RotateLeft(V3, 16);
		V3 ^= V2;
		V0 += V3;
		V3 = RotateLeft(V3, 21);
		V3 ^= V0;
		V2 += V1;
		V1 = RotateLeft(V1, 17);
		V1 ^= V2;
		V2 = RotateLeft(V2, 32);
	}

	void Absorb(uint64 Block)
	{
		V3 ^= Block;
		Round();
		V0 ^= Block;
	}
};

/**
 * SipHash-1-3 of the name with ASCII letters upper-cased, so that names equal under FString's == hash alike. A keyed
 * hash, because the names come from the network: with a fixed hash a sender could choose names that share a slot.
 */
uint32 HashName(const FString& Name)
{
	const FHashSeed& Seed = GetHashSeed();
	FSipState State{Seed.Key0 ^ 0x736f6d6570736575ull, Seed.Key1 ^ 0x646f72616e646f6dull, Seed.Key0 ^ 0x6c7967656e657261ull, Seed.Key1 ^ 0x7465646279746573ull};
	const TCHAR* Characters = *Name;
	const int32 Length = Name.Len();
	int32 Index = 0;
	for (; Index + 4 <= Length; Index += 4)
	{
		State.Absorb(uint64(FChar::ToUpper(Characters[Index])) | (uint64(FChar::ToUpper(Characters[Index + 1])) << 16) |
		             (uint64(FChar::ToUpper(Characters[Index + 2])) << 32) | (uint64(FChar::ToUpper(Characters[Index + 3])) << 48));
	}
	uint64 Last = uint64(uint8(Length * 2)) << 56;
	for (int32 Shift = 0; Index < Length; ++Index, Shift += 16)
	{
		Last |= uint64(FChar::ToUpper(Characters[Index])) << Shift;
	}
	State.Absorb(Last);
	State.V2 ^= 0xff;
	State.Round();
	State.Round();
	State.Round();
	const uint64 Hash = State.V0 ^ State.V1 ^ State.V2 ^ State.V3;
	return uint32(Hash ^ (Hash >> 32));
}

/** A character as a UTF-16 code unit: parsed names are ASCII bytes, engine strings are code units already. */
FORCEINLINE TCHAR AsUnit(ANSICHAR Character) { return TCHAR(uint8(Character)); }
FORCEINLINE TCHAR AsUnit(TCHAR Character) { return Character; }

/** FString's case-insensitive equality (ASCII letters folded) over Length characters of either kind. */
template <typename LeftType, typename RightType>
FORCEINLINE bool CharactersEqual(const LeftType* Left, const RightType* Right, int32 Length)
{
	for (int32 Index = 0; Index < Length; ++Index)
	{
		const TCHAR LeftUnit = AsUnit(Left[Index]);
		const TCHAR RightUnit = AsUnit(Right[Index]);
		if (LeftUnit != RightUnit && FChar::ToUpper(LeftUnit) != FChar::ToUpper(RightUnit))
		{
			return false;
		}
	}
	return true;
}

/** FString's ==, inline: it runs for every name a parse adds to a large object. */
FORCEINLINE bool NamesEqual(const FString& Lhs, const FString& Rhs)
{
	return Lhs.Len() == Rhs.Len() && CharactersEqual(*Lhs, *Rhs, Lhs.Len());
}

/** A name looked up against parsed ASCII text. */
FORCEINLINE bool ParsedNameEquals(const ANSICHAR* Parsed, const TCHAR* Name, int32 Length)
{
	// Names are usually spelled alike: four characters at a time while they are.
	int32 Index = 0;
	for (; Index + 4 <= Length; Index += 4)
	{
		const uint64 Widened = uint64(uint8(Parsed[Index])) | (uint64(uint8(Parsed[Index + 1])) << 16) |
		                       (uint64(uint8(Parsed[Index + 2])) << 32) | (uint64(uint8(Parsed[Index + 3])) << 48);
		uint64 Characters;
		std::memcpy(&Characters, Name + Index, sizeof(Characters));
		if (Widened != Characters)
		{
			break;
		}
	}
	return CharactersEqual(Parsed + Index, Name + Index, Length - Index);
}
} // namespace

FJsonFieldMap::FJsonFieldMap(const FJsonFieldMap& Other) { *this = Other; }

FJsonFieldMap::FJsonFieldMap(FJsonFieldMap&& Other) { *this = MoveTemp(Other); }

FJsonFieldMap& FJsonFieldMap::operator=(const FJsonFieldMap& Other)
{
	if (this != &Other)
	{
		Other.MakeKeys();
		EndParsedNames();
		Fields = Other.Fields;
		Slots = Other.Slots;
	}
	return *this;
}

FJsonFieldMap& FJsonFieldMap::operator=(FJsonFieldMap&& Other)
{
	if (this != &Other)
	{
		Other.EndParsedNames();
		EndParsedNames();
		Fields = MoveTemp(Other.Fields);
		Slots = MoveTemp(Other.Slots);
		Other.Fields.Empty();
		Other.Slots.Empty();
	}
	return *this;
}

TSharedPtr<FJsonValue>* FJsonFieldMap::Find(const FString& Key)
{
	const int32 Index = IndexOf(Key);
	return Index == INDEX_NONE ? nullptr : &Fields.GetData()[Index].Value;
}

const TSharedPtr<FJsonValue>* FJsonFieldMap::Find(const FString& Key) const
{
	const int32 Index = IndexOf(Key);
	return Index == INDEX_NONE ? nullptr : &Fields.GetData()[Index].Value;
}

TSharedPtr<FJsonValue>& FJsonFieldMap::Add(const FString& Key, TSharedPtr<FJsonValue> Value) { return AddImpl(FString(Key), MoveTemp(Value)); }

TSharedPtr<FJsonValue>& FJsonFieldMap::Add(FString&& Key, TSharedPtr<FJsonValue> Value) { return AddImpl(MoveTemp(Key), MoveTemp(Value)); }

TSharedPtr<FJsonValue>& FJsonFieldMap::AddImpl(FString&& Key, TSharedPtr<FJsonValue>&& Value)
{
	EndParsedNames();
	FJsonField* Existing = nullptr;
	int32 FreeSlot = INDEX_NONE;
	if (Slots.IsEmpty())
	{
		const int32 Index = IndexOf(Key);
		Existing = Index == INDEX_NONE ? nullptr : &Fields.GetData()[Index];
	}
	else
	{
		int32* SlotData = Slots.GetData();
		const uint32 Mask = uint32(Slots.Num() - 1);
		for (uint32 Slot = HashName(Key) & Mask;; Slot = (Slot + 1) & Mask)
		{
			const int32 Index = SlotData[Slot];
			if (Index == INDEX_NONE)
			{
				FreeSlot = int32(Slot);
				break;
			}
			if (NamesEqual(Fields.GetData()[Index].Key, Key))
			{
				Existing = &Fields.GetData()[Index];
				break;
			}
		}
	}

	if (Existing != nullptr)
	{
		// Equal names hash alike, so the index stays right when the spelling changes.
		Existing->Key = MoveTemp(Key);
		Existing->Value = MoveTemp(Value);
		return Existing->Value;
	}

	const int32 NewIndex = Fields.Emplace(MoveTemp(Key), MoveTemp(Value));
	if (FreeSlot != INDEX_NONE && 2 * Fields.Num() <= Slots.Num())
	{
		Slots.GetData()[FreeSlot] = NewIndex;
	}
	else if (Fields.Num() > LinearSearchLimit)
	{
		Rehash(Fields.Num());
	}
	return Fields.GetData()[NewIndex].Value;
}

int32 FJsonFieldMap::Remove(const FString& Key)
{
	EndParsedNames();
	const int32 Index = IndexOf(Key);
	if (Index == INDEX_NONE)
	{
		return 0;
	}
	Fields.RemoveAt(Index);
	if (Fields.Num() <= LinearSearchLimit)
	{
		Slots.Empty();
	}
	else
	{
		// Every later field moved down one place, so the index is rebuilt rather than patched.
		Rehash(Fields.Num());
	}
	return 1;
}

void FJsonFieldMap::Empty()
{
	EndParsedNames();
	Fields.Empty();
	Slots.Empty();
}

void FJsonFieldMap::Reserve(int32 Number)
{
	EndParsedNames();
	Fields.Reserve(Number);
	if (Number > LinearSearchLimit && 2 * Number > Slots.Num())
	{
		Rehash(Number);
	}
}

int32 FJsonFieldMap::IndexOf(const FString& Key) const
{
	if (ParsedNames != nullptr)
	{
		return IndexOfParsed(Key);
	}
	const FJsonField* FieldData = Fields.GetData();
	if (Slots.IsEmpty())
	{
		const int32 Count = Fields.Num();
		for (int32 Index = 0; Index < Count; ++Index)
		{
			if (NamesEqual(FieldData[Index].Key, Key))
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}
	const int32* SlotData = Slots.GetData();
	const uint32 Mask = uint32(Slots.Num() - 1);
	// Terminates: the table is at most half full, so a free slot always ends the probe.
	for (uint32 Slot = HashName(Key) & Mask;; Slot = (Slot + 1) & Mask)
	{
		const int32 Index = SlotData[Slot];
		if (Index == INDEX_NONE || NamesEqual(FieldData[Index].Key, Key))
		{
			return Index;
		}
	}
}

void FJsonFieldMap::Rehash(int32 Capacity)
{
	Capacity = std::max(Capacity, Fields.Num());
	// A power of two, so that a hash maps to a slot with a mask.
	int32 Size = 32;
	while (Size < 2 * Capacity)
	{
		Size *= 2;
	}
	Slots.SetNumUninitialized(Size);
	int32* SlotData = Slots.GetData();
	std::fill(SlotData, SlotData + Size, int32(INDEX_NONE));
	const uint32 Mask = uint32(Size - 1);
	const FJsonField* FieldData = Fields.GetData();
	for (int32 Index = 0; Index < Fields.Num(); ++Index)
	{
		uint32 Slot = HashName(FieldData[Index].Key) & Mask;
		while (SlotData[Slot] != INDEX_NONE)
		{
			Slot = (Slot + 1) & Mask;
		}
		SlotData[Slot] = Index;
	}
}

int32 FJsonFieldMap::IndexOfParsed(const FString& Key) const
{
	const int32 Length = Key.Len();
	const TCHAR* Characters = *Key;
	const uint32 Signature = MakeSignature(Characters, Length);
	const int32 Count = Fields.Num();
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const FParsedName& Name = ParsedNames[Index];
		if (Name.Signature == Signature && Name.Length == Length && ParsedNameEquals(Name.Text, Characters, Length))
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

void FJsonFieldMap::AddParsed(FParsedName Name, TSharedPtr<FJsonValue>&& Value)
{
	const int32 Count = Fields.Num();
	for (int32 Index = 0; Index < Count; ++Index)
	{
		FParsedName& Existing = ParsedNames[Index];
		if (Existing.Signature == Name.Signature && Existing.Length == Name.Length && CharactersEqual(Existing.Text, Name.Text, Name.Length))
		{
			Existing = Name;
			Fields.GetData()[Index].Value = MoveTemp(Value);
			return;
		}
	}
	ParsedNames[Count] = Name;
	Fields.Emplace(FString(), MoveTemp(Value));
}

void FJsonFieldMap::MakeKeysOnce() const
{
	for (;;)
	{
		EKeysState State = KeysState.load(std::memory_order_acquire);
		if (State == EKeysState::Made)
		{
			return;
		}
		if (State == EKeysState::NotMade && KeysState.compare_exchange_weak(State, EKeysState::Making, std::memory_order_acquire))
		{
			break;
		}
		// Another thread is making them: at most LinearSearchLimit short strings, so yielding costs less than a lock.
		std::this_thread::yield();
	}
	// A parsed map is never const itself: only callers' views of it are, and they may iterate it.
	FJsonField* FieldData = const_cast<FJsonField*>(Fields.GetData());
	try
	{
		for (int32 Index = 0; Index < Fields.Num(); ++Index)
		{
			FString Key;
			Key.AppendChars(ParsedNames[Index].Text, ParsedNames[Index].Length);
			FieldData[Index].Key = MoveTemp(Key);
		}
	}
	catch (...)
	{
		// Out of memory: the next iteration tries again rather than leave waiters spinning.
		KeysState.store(EKeysState::NotMade, std::memory_order_release);
		throw;
	}
	KeysState.store(EKeysState::Made, std::memory_order_release);
}

void FJsonFieldMap::EndParsedNames()
{
	if (ParsedNames != nullptr)
	{
		MakeKeys();
		ParsedNames = nullptr;
		KeysState.store(EKeysState::NotMade, std::memory_order_relaxed);
	}
}
