#pragma once

#include "CoreTypes.h"
#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

#include <atomic>

/** A named log category with a verbosity that can change at run time. Threads: any thread may log to it or set it. */
class CORE_API FLogCategoryBase
{
public:
	FLogCategoryBase(const TCHAR* CategoryName, ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity);

	/** True when a line of this verbosity would not be written. */
	bool IsSuppressed(ELogVerbosity::Type Verbosity) const { return (Verbosity & ELogVerbosity::VerbosityMask) > Verbosity_.load(std::memory_order_relaxed); }
	const FName& GetCategoryName() const { return CategoryName_; }
	ELogVerbosity::Type GetVerbosity() const { return Verbosity_.load(std::memory_order_relaxed); }
	/** Clamped to the compile-time verbosity. */
	void SetVerbosity(ELogVerbosity::Type NewVerbosity);

private:
	std::atomic<ELogVerbosity::Type> Verbosity_;
	ELogVerbosity::Type CompileTimeVerbosity_;
	FName CategoryName_;
};

template <ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity> class FLogCategory : public FLogCategoryBase
{
public:
	static constexpr ELogVerbosity::Type CompileTimeVerbosity = InCompileTimeVerbosity;

	explicit FLogCategory(const TCHAR* CategoryName)
	    : FLogCategoryBase(CategoryName, InDefaultVerbosity, InCompileTimeVerbosity)
	{
	}
};
