// The properties of reflected classes: a name, a place in the object, flags, metadata, and the value as text.
// Properties are made by the class's registration code (StandIn/ClassBuilder.h) and never change
// afterwards, so every accessor may be called on any thread; reading or writing a value is as thread-safe as
// the object it is read from.
#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"

#include <map>
#include <string>
#include <type_traits>
#include <vector>

class UClass;
class UStruct;

/** A reflected member variable. Its value lives at GetOffset_ForInternal() bytes from the object's address. */
class COREUOBJECT_API FProperty
{
public:
	FProperty(const FName& InName, int32 InOffset, EPropertyFlags InFlags);
	virtual ~FProperty();
	FProperty(const FProperty&) = delete;
	FProperty& operator=(const FProperty&) = delete;

	FName GetFName() const { return Name; }
	FString GetName() const { return Name.ToString(); }
	int32 GetOffset_ForInternal() const { return Offset; }
	EPropertyFlags GetPropertyFlags() const { return Flags; }
	bool HasAnyPropertyFlags(uint64 FlagsToCheck) const { return (uint64(Flags) & FlagsToCheck) != 0; }
	bool HasAllPropertyFlags(uint64 FlagsToCheck) const { return (uint64(Flags) & FlagsToCheck) == FlagsToCheck; }

	/** The metadata value (ToolTip, Category…), or an empty string when the key is missing or null. */
	const FString& GetMetaData(const TCHAR* Key) const;
	bool HasMetaData(const TCHAR* Key) const;
	/** For the registration code only: properties are read-only once their class is made. */
	void SetMetaData(const TCHAR* Key, const FString& Value);

	/** The C++ type as written in a header: FString, int32, bool, float. */
	virtual FString GetCPPType() const = 0;

	/** The value inside Container (the object's address) as it is written to an .ini file; empty for a null Container. */
	FString ExportText_InContainer(const void* Container) const;
	/**
	 * Reads Text as this property's type into the value inside Container. False, leaving the value unchanged, for
	 * text that is not a whole value of the type (an integer out of range, a trailing word…) or a null Container.
	 */
	bool ImportText_InContainer(const FString& Text, void* Container) const;

	template <typename ValueType> ValueType* ContainerPtrToValuePtr(void* Container) const
	{
		return reinterpret_cast<ValueType*>(static_cast<uint8*>(Container) + Offset);
	}
	template <typename ValueType> const ValueType* ContainerPtrToValuePtr(const void* Container) const
	{
		return reinterpret_cast<const ValueType*>(static_cast<const uint8*>(Container) + Offset);
	}

protected:
	virtual FString ExportValue(const void* Value) const = 0;
	virtual bool ImportValue(const FString& Text, void* Value) const = 0;

private:
	FName Name;
	int32 Offset;
	EPropertyFlags Flags;
	std::map<std::basic_string<TCHAR>, FString> MetaData;
};

class COREUOBJECT_API FStrProperty final : public FProperty
{
public:
	using FProperty::FProperty;
	FString GetCPPType() const override { return TEXT("FString"); }

protected:
	/** Any text is a string: import always succeeds. */
	FString ExportValue(const void* Value) const override;
	bool ImportValue(const FString& Text, void* Value) const override;
};

class COREUOBJECT_API FIntProperty final : public FProperty
{
public:
	using FProperty::FProperty;
	FString GetCPPType() const override { return TEXT("int32"); }

protected:
	/** Decimal with an optional sign and surrounding blanks; nothing else, and only within int32. */
	FString ExportValue(const void* Value) const override;
	bool ImportValue(const FString& Text, void* Value) const override;
};

class COREUOBJECT_API FBoolProperty final : public FProperty
{
public:
	using FProperty::FProperty;
	FString GetCPPType() const override { return TEXT("bool"); }

protected:
	/** Writes True/False; reads True/False, Yes/No, On/Off and 1/0, in any case. */
	FString ExportValue(const void* Value) const override;
	bool ImportValue(const FString& Text, void* Value) const override;
};

class COREUOBJECT_API FFloatProperty final : public FProperty
{
public:
	using FProperty::FProperty;
	FString GetCPPType() const override { return TEXT("float"); }

protected:
	/** Writes the shortest text that reads back to the same float; reads a finite decimal number in float range. */
	FString ExportValue(const void* Value) const override;
	bool ImportValue(const FString& Text, void* Value) const override;
};

namespace UE::CoreUObject::Private
{
/** The property class for a member's C++ type; a type without one fails to compile at its registration. */
template <typename T> struct TPropertyTypeFor;
template <> struct TPropertyTypeFor<FString>
{
	using Type = FStrProperty;
};
template <> struct TPropertyTypeFor<int32>
{
	using Type = FIntProperty;
};
template <> struct TPropertyTypeFor<bool>
{
	using Type = FBoolProperty;
};
template <> struct TPropertyTypeFor<float>
{
	using Type = FFloatProperty;
};
} // namespace UE::CoreUObject::Private

/** How a property was changed in the details (the values the stand-in's callers use). */
namespace EPropertyChangeType
{
typedef uint32 Type;
const Type Unspecified = 1 << 0;
const Type ValueSet = 1 << 2;
} // namespace EPropertyChangeType

/**
 * What the details panel tells an object after it changed one of its properties: the property changed and the
 * member of the object it sits in (the same for a plain member); either may be null when the change was not
 * made through one property.
 */
struct FPropertyChangedEvent
{
	explicit FPropertyChangedEvent(FProperty* InProperty, EPropertyChangeType::Type InChangeType = EPropertyChangeType::Unspecified)
	    : Property(InProperty)
	    , MemberProperty(InProperty)
	    , ChangeType(InChangeType)
	{
	}

	/** The property's name; NAME_None when Property is null. */
	FName GetPropertyName() const { return Property != nullptr ? Property->GetFName() : NAME_None; }
	FName GetMemberPropertyName() const { return MemberProperty != nullptr ? MemberProperty->GetFName() : NAME_None; }

	FProperty* Property;
	FProperty* MemberProperty;
	EPropertyChangeType::Type ChangeType;
};

/**
 * The properties of a struct and then of each of its super structs, most derived first, as the engine iterates
 * them; each struct's own properties in declaration order. A null struct yields nothing.
 */
template <class T> class TFieldIterator
{
	static_assert(std::is_same_v<T, FProperty>, "Only properties are reflected here");

public:
	explicit TFieldIterator(const UStruct* InStruct);

	explicit operator bool() const { return Current != nullptr; }
	T* operator*() const { return Current; }
	T* operator->() const { return Current; }
	TFieldIterator& operator++()
	{
		++Index;
		Settle();
		return *this;
	}

private:
	void Settle();

	const UStruct* Struct;
	int32 Index = 0;
	T* Current = nullptr;
};

#include "UObject/Class.h"
