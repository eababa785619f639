// The reflection markup of engine headers. There is no header tool here, so the markup macros expand to nothing,
// and the types of the engine stand-in register themselves with the explicit macros below instead:
//
//   struct FMyStruct : FMyBase                    // header
//   {
//       DECLARE_SCRIPT_STRUCT(FMyStruct, FMyBase)  // a root struct passes void as its super
//       ...
//   };
//   IMPLEMENT_SCRIPT_STRUCT(FMyStruct)              // one .cpp, which includes "UObject/Class.h"
//
//   class UMyObject : public UObject               // header
//   {
//       DECLARE_CLASS_INTRINSIC(UMyObject, UObject)
//       ...
//   };
//   IMPLEMENT_CLASS_INTRINSIC(UMyObject)            // one .cpp, which includes "UObject/Class.h"
//
// Each IMPLEMENT macro defines StaticStruct() or StaticClass() over a function-local static, so the reflection
// object is made on first use, on any thread, exactly once, and lives until the library is unloaded.
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
/** Stands where the header tool would put a type's generated members; those come later for the plug-in's own types. */
#define GENERATED_BODY(...)

/** Inside a struct body: the struct's reflection object and the Super typedef. Leaves the body public. */
#define DECLARE_SCRIPT_STRUCT(ThisStruct, SuperStruct) \
public: \
	typedef SuperStruct Super; \
	static UScriptStruct* StaticStruct();

/** In one .cpp: defines ThisStruct::StaticStruct(), named as the engine names structs (without the F prefix). */
#define IMPLEMENT_SCRIPT_STRUCT(ThisStruct) \
	UScriptStruct* ThisStruct::StaticStruct() \
	{ \
		static UScriptStruct ScriptStruct(TEXT(#ThisStruct), UE::CoreUObject::Private::TSuperStruct<ThisStruct::Super>::Get(), \
			UE::CoreUObject::Private::MakeCppStructOps<ThisStruct>()); \
		return &ScriptStruct; \
	}

/**
 * Inside a class body, for a class derived from UObject: the class's reflection object, the Super and ThisClass
 * typedefs, and the override that makes GetClass() answer with this class. Leaves the body public.
 */
#define DECLARE_CLASS_INTRINSIC(TClass, TSuperClass) \
public: \
	typedef TSuperClass Super; \
	typedef TClass ThisClass; \
	static UClass* StaticClass(); \
\
protected: \
	UClass* GetClassForObject() const override { return TClass::StaticClass(); } \
\
public:

/**
 * In one .cpp: defines TClass::StaticClass(), named without the U prefix. A class that C++ cannot instantiate
 * (one with a pure virtual function, or no default constructor) is flagged abstract and gets no constructor.
 */
#define IMPLEMENT_CLASS_INTRINSIC(TClass) \
	UClass* TClass::StaticClass() \
	{ \
		static UClass Class(TEXT(#TClass), TClass::Super::StaticClass(), UE::CoreUObject::Private::TClassTraits<TClass>::GetClassFlags(), \
			UE::CoreUObject::Private::TClassTraits<TClass>::GetConstructor()); \
		return &Class; \
	}
