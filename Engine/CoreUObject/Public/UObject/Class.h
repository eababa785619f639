// The reflection objects: a field with a name, a struct with a super struct, a script struct that knows how to
// make and unmake instances of its C++ type in raw memory, and a class for object types.
//
// Reflection objects are made by the IMPLEMENT_SCRIPT_STRUCT and IMPLEMENT_CLASS_INTRINSIC macros (see
// UObject/ObjectMacros.h), once each, and never change afterwards: every accessor may be called on any thread.
// They are not UObjects here. A class's registration code (IMPLEMENT_CLASS_INTRINSIC or the builder in
// StandIn/ClassBuilder.h) fills in its properties, config name and metadata inside StaticClass(), before
// anyone else can see the class; the registry in StandIn/UObjectRegistry.h collects classes by script package.
#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/ObjectMacros.h"
#include "UObject/UnrealType.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

namespace UE::CoreUObject::Private
{
template <typename T, typename = void> struct THasStaticStruct : std::false_type
{
};
template <typename T> struct THasStaticStruct<T, std::void_t<decltype(T::StaticStruct())>> : std::true_type
{
};
} // namespace UE::CoreUObject::Private

/** Something reflected, with a name. */
class COREUOBJECT_API UField
{
public:
	/** Takes the C++ name and drops its type prefix (F, U, A), as the engine names reflected types. Null reads as empty. */
	explicit UField(const TCHAR* InCppName);
	virtual ~UField();
	UField(const UField&) = delete;
	UField& operator=(const UField&) = delete;

	FName GetFName() const { return Name; }
	FString GetName() const { return Name.ToString(); }

private:
	FName Name;
};

/** A reflected type with an optional super type it derives from. */
class COREUOBJECT_API UStruct : public UField
{
public:
	UStruct(const TCHAR* InCppName, UStruct* InSuperStruct);

	/** The type this one derives from, or null for a root type. */
	UStruct* GetSuperStruct() const { return SuperStruct; }

	/** True when this is SomeBase or derives from it, through any number of steps; false for a null SomeBase. */
	bool IsChildOf(const UStruct* SomeBase) const;
	/** This struct's own properties in declaration order, without those of its super structs. */
	const TArray<FProperty*>& GetOwnProperties() const { return OwnProperties; }
	/** The property with that name here or in a super struct; null when there is none. */
	FProperty* FindPropertyByName(const FName& InName) const;
	/** For registration code: takes ownership of the property and appends it; a null property is ignored. */
	void AddOwnedProperty(FProperty* Property);
	/** IsChildOf for T's reflection object: T::StaticStruct() for a struct, T::StaticClass() for a class. */
	template <class T> bool IsChildOf() const
	{
		if constexpr (UE::CoreUObject::Private::THasStaticStruct<T>::value)
		{
			return IsChildOf(T::StaticStruct());
		}
		else
		{
			return IsChildOf(T::StaticClass());
		}
	}

private:
	UStruct* SuperStruct;
	TArray<FProperty*> OwnProperties;
	std::vector<std::unique_ptr<FProperty>> PropertyStorage;
};

template <class T>
TFieldIterator<T>::TFieldIterator(const UStruct* InStruct)
    : Struct(InStruct)
{
	Settle();
}

template <class T> void TFieldIterator<T>::Settle()
{
	while (Struct != nullptr && Index >= Struct->GetOwnProperties().Num())
	{
		Struct = Struct->GetSuperStruct();
		Index = 0;
	}
	Current = Struct != nullptr ? Struct->GetOwnProperties()[Index] : nullptr;
}

/** A reflected plain struct, with the type-erased operations on its instances in raw memory. */
class COREUOBJECT_API UScriptStruct : public UStruct
{
public:
	/** What a script struct does with an instance of its C++ type, without knowing the type. */
	class COREUOBJECT_API ICppStructOps
	{
	public:
		ICppStructOps(int32 InSize, int32 InAlignment)
		    : Size(InSize)
		    , Alignment(InAlignment)
		{
		}
		virtual ~ICppStructOps();

		int32 GetSize() const { return Size; }
		int32 GetAlignment() const { return Alignment; }

		/** Default-constructs one instance in Dest: uninitialised memory of GetSize() bytes, aligned to GetAlignment(). */
		virtual void Construct(void* Dest) const = 0;
		/** Destroys the instance in Dest, leaving raw memory. */
		virtual void Destruct(void* Dest) const = 0;
		/** Copy-assigns the instance in Src onto the instance in Dest; false, touching neither, for a type that cannot be copied. */
		virtual bool Copy(void* Dest, const void* Src) const = 0;
		/** Move-assigns the instance in Src onto the instance in Dest; Src stays a valid, moved-from instance. */
		virtual void Move(void* Dest, void* Src) const = 0;

	private:
		int32 Size;
		int32 Alignment;
	};

	template <class CppStruct> class TCppStructOps final : public ICppStructOps
	{
	public:
		TCppStructOps()
		    : ICppStructOps(int32(sizeof(CppStruct)), int32(alignof(CppStruct)))
		{
		}

		void Construct(void* Dest) const override { ::new (Dest) CppStruct(); }
		void Destruct(void* Dest) const override { static_cast<CppStruct*>(Dest)->~CppStruct(); }
		bool Copy(void* Dest, const void* Src) const override
		{
			if constexpr (std::is_copy_assignable_v<CppStruct>)
			{
				*static_cast<CppStruct*>(Dest) = *static_cast<const CppStruct*>(Src);
				return true;
			}
			else
			{
				return false;
			}
		}
		void Move(void* Dest, void* Src) const override { *static_cast<CppStruct*>(Dest) = std::move(*static_cast<CppStruct*>(Src)); }
	};

	/** Takes ownership of InCppStructOps, which must not be null. */
	UScriptStruct(const TCHAR* InCppName, UScriptStruct* InSuperStruct, ICppStructOps* InCppStructOps);
	~UScriptStruct() override;

	UScriptStruct* GetSuperStruct() const { return static_cast<UScriptStruct*>(UStruct::GetSuperStruct()); }
	ICppStructOps* GetCppStructOps() const { return CppStructOps.get(); }
	int32 GetStructureSize() const { return CppStructOps->GetSize(); }
	int32 GetMinAlignment() const { return CppStructOps->GetAlignment(); }

	/** Default-constructs ArrayDim instances side by side from Dest; a null Dest or ArrayDim < 1 does nothing. */
	void InitializeStruct(void* Dest, int32 ArrayDim = 1) const;
	/** Destroys ArrayDim instances side by side from Dest; a null Dest or ArrayDim < 1 does nothing. */
	void DestroyStruct(void* Dest, int32 ArrayDim = 1) const;
	/**
	 * Copy-assigns ArrayDim instances from Src onto the constructed instances at Dest; false, copying nothing, for
	 * a null pointer, ArrayDim < 1 or a type that cannot be copied.
	 */
	bool CopyScriptStruct(void* Dest, const void* Src, int32 ArrayDim = 1) const;

private:
	std::unique_ptr<ICppStructOps> CppStructOps;
};

enum EClassFlags : uint32
{
	CLASS_None = 0,
	/** No instance of the class itself may be made; it has no constructor. */
	CLASS_Abstract = 0x00000001u,
	/** Config properties are saved to the project's Default<ConfigName>.ini. */
	CLASS_DefaultConfig = 0x00000002u,
	/** The class has a config name and its config properties are loaded from it. */
	CLASS_Config = 0x00000004u,
};

inline constexpr EClassFlags operator|(EClassFlags Lhs, EClassFlags Rhs) { return EClassFlags(uint32(Lhs) | uint32(Rhs)); }

/** A reflected object class. */
class COREUOBJECT_API UClass : public UStruct
{
public:
	/** Makes a new default instance of the class; the caller owns it. */
	typedef UObject* (*FClassConstructor)();

	/** InClassConstructor is null for an abstract class. PackageName is like "/Script/LiveLink"; null reads as empty. */
	UClass(const TCHAR* InCppName, UClass* InSuperClass, EClassFlags InClassFlags, FClassConstructor InClassConstructor, const TCHAR* InPackageName = nullptr);
	~UClass() override;

	UClass* GetSuperClass() const { return static_cast<UClass*>(GetSuperStruct()); }
	EClassFlags GetClassFlags() const { return ClassFlags; }
	bool HasAnyClassFlags(EClassFlags FlagsToCheck) const { return (uint32(ClassFlags) & uint32(FlagsToCheck)) != 0; }
	/** Null for an abstract class. */
	FClassConstructor GetClassConstructor() const { return ClassConstructor; }

	/** The script package of the module that declared the class, e.g. "/Script/OrvidaLiveLink"; empty when unknown. */
	const FString& GetPackageName() const { return PackageName; }
	/** "<package>.<name>", the config section and lookup name of the class. */
	FString GetPathName() const;
	/** The config file's base name ("Game"), inherited from the super class when not set; None for no config. */
	FName GetConfigName() const;
	/** Class metadata such as ToolTip; an empty string when missing. */
	const FString& GetMetaData(const TCHAR* Key) const;
	/** The tooltip shown for the class in editors: its ToolTip metadata. */
	FString GetToolTipText() const { return GetMetaData(TEXT("ToolTip")); }

	/**
	 * The class default object. Made on first request through the class constructor, once, and for a config class
	 * loaded from its config file straight away. Null for an abstract class, or when it does not exist yet and
	 * bCreateIfNeeded is false. The class owns it; it lives as long as the class. Game thread: the object is not
	 * locked, though making it is.
	 */
	UObject* GetDefaultObject(bool bCreateIfNeeded = true) const;
	template <class T> T* GetDefaultObject() const
	{
		UObject* Object = GetDefaultObject();
		return Object != nullptr && Object->IsA(T::StaticClass()) ? static_cast<T*>(Object) : nullptr;
	}

	/** For registration code only, before the class is handed out. */
	void SetConfig(const FName& InConfigName, EClassFlags InExtraFlags);
	void SetMetaData(const TCHAR* Key, const FString& Value);

private:
	EClassFlags ClassFlags;
	FClassConstructor ClassConstructor;
	FString PackageName;
	FName ConfigName;
	std::map<std::basic_string<TCHAR>, FString> MetaData;

	/** Protects ClassDefaultObject while it is made; never held while other classes' objects are made. */
	mutable std::recursive_mutex DefaultObjectLock;
	mutable std::unique_ptr<UObject> ClassDefaultObject;
	mutable bool bMakingDefaultObject = false;
};

namespace UE::CoreUObject::Private
{
template <typename SuperType> struct TSuperStruct
{
	static UScriptStruct* Get() { return SuperType::StaticStruct(); }
};
template <> struct TSuperStruct<void>
{
	static UScriptStruct* Get() { return nullptr; }
};

/**
 * The operations of T. A type-erased owner hands out the instance's address as a pointer to a base struct, which
 * holds only while every base sits at offset 0 of its derived struct (single, non-virtual inheritance): checked
 * here, once per struct, on a real instance.
 */
template <typename T> UScriptStruct::ICppStructOps* MakeCppStructOps()
{
	static_assert(std::is_default_constructible_v<T>, "A script struct needs a default constructor");
	if constexpr (!std::is_void_v<typename T::Super>)
	{
		static_assert(std::is_base_of_v<typename T::Super, T>, "A script struct's Super must be one of its bases");
		alignas(T) unsigned char Storage[sizeof(T)];
		T* Instance = ::new (static_cast<void*>(Storage)) T();
		const bool bSuperAtOffsetZero = static_cast<void*>(static_cast<typename T::Super*>(Instance)) == static_cast<void*>(Instance);
		Instance->~T();
		check(bSuperAtOffsetZero);
	}
	return new UScriptStruct::TCppStructOps<T>();
}

template <typename T> struct TClassTraits
{
	static constexpr bool bInstantiable = !std::is_abstract_v<T> && std::is_default_constructible_v<T>;

	static constexpr EClassFlags GetClassFlags() { return bInstantiable ? CLASS_None : CLASS_Abstract; }
	static UClass::FClassConstructor GetConstructor()
	{
		if constexpr (bInstantiable)
		{
			return []() -> UObject* { return new T(); };
		}
		else
		{
			return nullptr;
		}
	}
};
} // namespace UE::CoreUObject::Private

#include "StandIn/UObjectRegistry.h"

namespace UE::CoreUObject::Private
{
/** Runs a class's description on the class, for IMPLEMENT_CLASS_WITH_PROPERTIES; always true. */
COREUOBJECT_API bool DescribeClass(UClass& Class, void (*Describe)(UE::CoreUObject::FClassBuilder&));
} // namespace UE::CoreUObject::Private
