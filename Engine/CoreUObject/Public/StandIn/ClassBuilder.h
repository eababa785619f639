// The class builder behind IMPLEMENT_CLASS_WITH_PROPERTIES, which a hand-written .gen.cpp uses where the engine's
// header tool writes its own registration code. Only the stand-in has it.
//
//   #include "MySettings.h"
//   #include "UObject/GeneratedCppIncludes.h"
//
//   IMPLEMENT_CLASS_WITH_PROPERTIES(UMySettings, TEXT("/Script/MyModule"))
//   {
//       Builder.Config(TEXT("Game"), CLASS_DefaultConfig).ToolTip(TEXT("What the class is for."));
//       UE_PROPERTY(Builder, Port, CPF_Config | CPF_Edit).Category(TEXT("Mine")).ToolTip(TEXT("The port."));
//   }
#pragma once

#include "StandIn/UObjectRegistry.h"
#include "UObject/Class.h"
#include "UObject/UnrealType.h"

#include <cstddef>
#include <type_traits>

namespace UE::CoreUObject
{
/** Adds metadata to one property; from FClassBuilder::Property. */
class FPropertyBuilder
{
public:
	explicit FPropertyBuilder(FProperty& InProperty)
	    : Property(InProperty)
	{
	}

	FPropertyBuilder& Meta(const TCHAR* Key, const TCHAR* Value)
	{
		Property.SetMetaData(Key, FString(Value));
		return *this;
	}
	FPropertyBuilder& Category(const TCHAR* Value) { return Meta(TEXT("Category"), Value); }
	FPropertyBuilder& ToolTip(const TCHAR* Value) { return Meta(TEXT("ToolTip"), Value); }

private:
	FProperty& Property;
};

/** Describes a class once, inside its first StaticClass() call, before the class is handed to anyone. */
class FClassBuilder
{
public:
	explicit FClassBuilder(UClass& InClass)
	    : Class(InClass)
	{
	}

	/** UCLASS(config=<ConfigName>), with CLASS_DefaultConfig in ExtraFlags for defaultconfig. */
	FClassBuilder& Config(const TCHAR* ConfigName, EClassFlags ExtraFlags = CLASS_None)
	{
		Class.SetConfig(FName(ConfigName), ExtraFlags);
		return *this;
	}
	FClassBuilder& Meta(const TCHAR* Key, const TCHAR* Value)
	{
		Class.SetMetaData(Key, FString(Value));
		return *this;
	}
	FClassBuilder& ToolTip(const TCHAR* Value) { return Meta(TEXT("ToolTip"), Value); }

	/** Appends a property of ValueType at Offset bytes into the object; use UE_PROPERTY, which fills in both. */
	template <typename ValueType> FPropertyBuilder Property(const TCHAR* Name, int32 Offset, EPropertyFlags Flags)
	{
		using FPropertyType = typename Private::TPropertyTypeFor<std::remove_cv_t<ValueType>>::Type;
		FProperty* NewProperty = new FPropertyType(FName(Name), Offset, Flags);
		Class.AddOwnedProperty(NewProperty);
		return FPropertyBuilder(*NewProperty);
	}

private:
	UClass& Class;
};
} // namespace UE::CoreUObject

/**
 * The offset of a member in its class. Object classes are not standard-layout, where offsetof is only
 * conditionally supported; GCC and Clang support it for classes without virtual bases, which reflected
 * classes never have, so the warning is silenced here as the engine's STRUCT_OFFSET does.
 */
#define STRUCT_OFFSET(Struct, Member)                                                                                                                          \
	(                                                                                                                                                          \
	    []() -> int32                                                                                                                                          \
	    {                                                                                                                                                      \
		    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") return int32(offsetof(Struct, Member));                    \
		    _Pragma("GCC diagnostic pop")                                                                                                                      \
	    }())

/**
 * Inside IMPLEMENT_CLASS_WITH_PROPERTIES: describes the member of ThisClass as a property. The offset counts
 * from the object's UObject base, which sits at the start of every single-inheritance object class.
 */
#define UE_PROPERTY(Builder, Member, Flags) (Builder).Property<decltype(ThisClass::Member)>(TEXT(#Member), STRUCT_OFFSET(ThisClass, Member), Flags)
