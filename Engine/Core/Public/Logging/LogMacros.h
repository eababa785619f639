#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogCategory.h"

struct CORE_API FMsg
{
	/** Formats and writes one line to the log; a Fatal line aborts the process after it is written. */
	template <typename... ArgTypes>
	static void Logf(const ANSICHAR* File, int32 Line, const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Format, ArgTypes... Args)
	{
		LogString(File, Line, Category, Verbosity, FString::Printf(Format, Args...));
	}

	static void LogString(const ANSICHAR* File, int32 Line, const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message);
};

#define DECLARE_LOG_CATEGORY_EXTERN(CategoryName, DefaultVerbosity, CompileTimeVerbosity)                                                                      \
	extern struct FLogCategory##CategoryName : public FLogCategory<ELogVerbosity::DefaultVerbosity, ELogVerbosity::CompileTimeVerbosity>                       \
	{                                                                                                                                                          \
		FLogCategory##CategoryName()                                                                                                                           \
		    : FLogCategory(TEXT(#CategoryName))                                                                                                                \
		{                                                                                                                                                      \
		}                                                                                                                                                      \
	} CategoryName;

#define DEFINE_LOG_CATEGORY(CategoryName) FLogCategory##CategoryName CategoryName;

#define DEFINE_LOG_CATEGORY_STATIC(CategoryName, DefaultVerbosity, CompileTimeVerbosity)                                                                       \
	static struct FLogCategory##CategoryName : public FLogCategory<ELogVerbosity::DefaultVerbosity, ELogVerbosity::CompileTimeVerbosity>                       \
	{                                                                                                                                                          \
		FLogCategory##CategoryName()                                                                                                                           \
		    : FLogCategory(TEXT(#CategoryName))                                                                                                                \
		{                                                                                                                                                      \
		}                                                                                                                                                      \
	} CategoryName;

#define UE_LOG(CategoryName, Verbosity, Format, ...)                                                                                                           \
	do                                                                                                                                                         \
	{                                                                                                                                                          \
		if constexpr ((ELogVerbosity::Verbosity & ELogVerbosity::VerbosityMask) <= decltype(CategoryName)::CompileTimeVerbosity)                               \
		{                                                                                                                                                      \
			if (!CategoryName.IsSuppressed(ELogVerbosity::Verbosity))                                                                                          \
			{                                                                                                                                                  \
				FMsg::Logf(__FILE__, __LINE__, CategoryName.GetCategoryName(), ELogVerbosity::Verbosity, Format, ##__VA_ARGS__);                               \
			}                                                                                                                                                  \
		}                                                                                                                                                      \
	} while (false)

/** The engine's catch-all category. */
CORE_API DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All)
