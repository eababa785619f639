// How reflected types register without a header tool, which only the stand-in needs: the engine's header tool
// writes each type's registration into its .gen.cpp. The stand-in's types use these macros directly:
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
// object is made on first use, on any thread, exactly once, and lives until the library is unloaded. The class
// macros also announce the class to the registry (StandIn/UObjectRegistry.h) while the library loads, and take
// it back while it unloads.
//
// A class with reflected properties is written the engine's way, with a hand-written stand-in for each file the
// header tool would make (see StandIn/ClassBuilder.h for the .gen.cpp side):
//
//   // MySettings.h                                 // MySettings.generated.h
//   #include "MySettings.generated.h"               #pragma once

#include "CoreTypes.h"

class UClass;
class UScriptStruct;

/** The script package of the module being compiled: the build names the module in UE_MODULE_NAME. */
#ifdef UE_MODULE_NAME
#define UE_SCRIPT_PACKAGE_NAME TEXT("/Script/" UE_MODULE_NAME)
#else
#define UE_SCRIPT_PACKAGE_NAME TEXT("")
#endif

namespace UE::CoreUObject
{
class FClassBuilder;
}

/** Inside a struct body: the struct's reflection object and the Super typedef. Leaves the body public. */
#define DECLARE_SCRIPT_STRUCT(ThisStruct, SuperStruct)                                                                                                         \
public:                                                                                                                                                        \
	typedef SuperStruct Super;                                                                                                                                 \
	static UScriptStruct* StaticStruct();

/** In one .cpp: defines ThisStruct::StaticStruct(), named as the engine names structs (without the F prefix). */
#define IMPLEMENT_SCRIPT_STRUCT(ThisStruct)                                                                                                                    \
	UScriptStruct* ThisStruct::StaticStruct()                                                                                                                  \
	{                                                                                                                                                          \
		static UScriptStruct ScriptStruct(TEXT(#ThisStruct), UE::CoreUObject::Private::TSuperStruct<ThisStruct::Super>::Get(),                                 \
		                                  UE::CoreUObject::Private::MakeCppStructOps<ThisStruct>());                                                           \
		return &ScriptStruct;                                                                                                                                  \
	}

/**
 * Inside a class body, for a class derived from UObject: the class's reflection object, the Super and ThisClass
 * typedefs, and the override that makes GetClass() answer with this class. Leaves the body public.
 */
#define DECLARE_CLASS_INTRINSIC(TClass, TSuperClass) DECLARE_CLASS_INTRINSIC_API(TClass, TSuperClass, )

/**
 * The same for a MinimalAPI class, whose module exports only what it marks: TRequiredAPI is the module's API
 * macro, which exports StaticClass() as the engine's generated code exports the class's registration.
 */
#define DECLARE_CLASS_INTRINSIC_API(TClass, TSuperClass, TRequiredAPI)                                                                                         \
public:                                                                                                                                                        \
	typedef TSuperClass Super;                                                                                                                                 \
	typedef TClass ThisClass;                                                                                                                                  \
	TRequiredAPI static UClass* StaticClass();                                                                                                                 \
                                                                                                                                                               \
protected:                                                                                                                                                     \
	UClass* GetClassForObject() const override { return TClass::StaticClass(); }                                                                               \
                                                                                                                                                               \
public:

/**
 * In one .cpp: defines TClass::StaticClass(), named without the U prefix. A class that C++ cannot instantiate
 * (one with a pure virtual function, or no default constructor) is flagged abstract and gets no constructor.
 */
#define IMPLEMENT_CLASS_INTRINSIC(TClass)                                                                                                                      \
	UClass* TClass::StaticClass()                                                                                                                              \
	{                                                                                                                                                          \
		static UClass Class(TEXT(#TClass), TClass::Super::StaticClass(), UE::CoreUObject::Private::TClassTraits<TClass>::GetClassFlags(),                      \
		                    UE::CoreUObject::Private::TClassTraits<TClass>::GetConstructor(), UE_SCRIPT_PACKAGE_NAME);                                         \
		return &Class;                                                                                                                                         \
	}                                                                                                                                                          \
	static UE::CoreUObject::Private::FRegisterCompiledInClass BODY_MACRO_COMBINE(GRegisterCompiledIn_, TClass)(&TClass::StaticClass);

/**
 * The generated body of a class with reflected properties: DECLARE_CLASS_INTRINSIC plus the function that
 * IMPLEMENT_CLASS_WITH_PROPERTIES defines to describe the class. Leaves the body public.
 */
#define DECLARE_CLASS_WITH_PROPERTIES(TClass, TSuperClass)                                                                                                     \
	DECLARE_CLASS_INTRINSIC(TClass, TSuperClass)                                                                                                               \
private:                                                                                                                                                       \
	static void BuildReflection(UE::CoreUObject::FClassBuilder& Builder);                                                                                      \
                                                                                                                                                               \
public:

/**
 * In the class's .gen.cpp, followed by the body of the function that describes it (config, metadata and
 * properties through Builder, see StandIn/ClassBuilder.h). PackageName is the module's script package,
 * e.g. TEXT("/Script/OrvidaLiveLink"). The description runs once, inside the first StaticClass() call.
 */
#define IMPLEMENT_CLASS_WITH_PROPERTIES(TClass, PackageName)                                                                                                   \
	UClass* TClass::StaticClass()                                                                                                                              \
	{                                                                                                                                                          \
		static UClass Class(TEXT(#TClass), TClass::Super::StaticClass(), UE::CoreUObject::Private::TClassTraits<TClass>::GetClassFlags(),                      \
		                    UE::CoreUObject::Private::TClassTraits<TClass>::GetConstructor(), PackageName);                                                    \
		static const bool bDescribed = UE::CoreUObject::Private::DescribeClass(Class, &TClass::BuildReflection);                                               \
		(void)bDescribed;                                                                                                                                      \
		return &Class;                                                                                                                                         \
	}                                                                                                                                                          \
	static UE::CoreUObject::Private::FRegisterCompiledInClass BODY_MACRO_COMBINE(GRegisterCompiledIn_, TClass)(&TClass::StaticClass);                          \
	void TClass::BuildReflection(UE::CoreUObject::FClassBuilder& Builder)
