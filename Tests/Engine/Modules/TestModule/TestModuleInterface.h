// What the module manager tests see of the test module libraries, through virtual calls only, since the test
// program never links them.
#pragma once

#include "Modules/ModuleInterface.h"

/** Calls a test module made; kept by the test, so it can still be read after the library is closed. */
struct FTestModuleRecord
{
	int32 Shutdowns = 0;
	int32 Destructions = 0;
	int32 PreUnloads = 0;
};

class ITestModule : public IModuleInterface
{
public:
	/** The tag the library was built with ("A" or "B"), to tell which library's entry made the object. */
	virtual const char* GetTag() const = 0;
	virtual int32 GetStartupCount() const = 0;
	/** Where the module counts its later calls; null stops the counting. */
	virtual void SetRecord(FTestModuleRecord* InRecord) = 0;
};
