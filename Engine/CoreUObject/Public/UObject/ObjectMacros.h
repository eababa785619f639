// The reflection markup of engine headers and the flags it sets. There is no header tool here, so the markup
// macros expand to nothing; GENERATED_BODY expands to what a class's hand-written .generated.h defines, and the
// stand-in's own types register with the macros of StandIn/ReflectionMacros.h.
#pragma once
//   UCLASS(config=Game, defaultconfig)              #include "UObject/ObjectMacros.h"
//   class UMySettings : public UObject              #undef CURRENT_FILE_ID
//   {                                               #define CURRENT_FILE_ID MySettings_h
//       GENERATED_BODY()                            #define MySettings_h_GENERATED_BODY
//   public:                                             DECLARE_CLASS_WITH_PROPERTIES(UMySettings, UObject)
//       UPROPERTY(config, EditAnywhere, Category = "Mine")
//       int32 Port = 1;
//   };
#pragma once

#include "CoreTypes.h"

class UClass;
class UScriptStruct;

#define UPROPERTY(...)
#define UFUNCTION(...)
#define USTRUCT(...)
#define UCLASS(...)
#define UENUM(...)
#define UMETA(...)
#define UPARAM(...)
/** Pastes after expanding, as the engine's header-tool output relies on. */
#define BODY_MACRO_COMBINE_INNER(A, B) A##B
#define BODY_MACRO_COMBINE(A, B) BODY_MACRO_COMBINE_INNER(A, B)
/**
 * Expands to <CURRENT_FILE_ID>_GENERATED_BODY, which the header's hand-written .generated.h defines; a header that
 * did not include one fails to compile at this line.
 */
#define GENERATED_BODY(...) BODY_MACRO_COMBINE(CURRENT_FILE_ID, _GENERATED_BODY)

/** Flags of an object; the values are the engine's. No object carries any here yet. */
enum EObjectFlags : uint32
{
	RF_NoFlags = 0x00000000,
};

/** Flags of a reflected property; the values are the engine's. */
enum EPropertyFlags : uint64
{
	CPF_None = 0,
	/** Editable in property windows (EditAnywhere and the like). */
	CPF_Edit = 0x0000000000000001ull,
	/** Shown but not editable. */
	CPF_EditConst = 0x0000000000020000ull,
	/** Loaded from and saved to the class's config file. */
	CPF_Config = 0x0000000000004000ull,
	/** Not saved. */
	CPF_Transient = 0x0000000000002000ull,
};

inline constexpr EPropertyFlags operator|(EPropertyFlags Lhs, EPropertyFlags Rhs) { return EPropertyFlags(uint64(Lhs) | uint64(Rhs)); }

// How the stand-in's own types register without a header tool.
#include "StandIn/ReflectionMacros.h"
