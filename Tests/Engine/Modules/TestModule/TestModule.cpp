#include "Modules/ModuleManager.h"
#include "TestModuleInterface.h"

namespace
{
class FOrvidaTestModule final : public ITestModule
{
public:
	~FOrvidaTestModule() override
	{
		if (Record)
		{
			++Record->Destructions;
		}
	}

	const char* GetTag() const override { return ORVIDA_TEST_MODULE_TAG; }
	int32 GetStartupCount() const override { return StartupCount; }
	void SetRecord(FTestModuleRecord* InRecord) override { Record = InRecord; }

	void StartupModule() override { ++StartupCount; }
	void PreUnloadCallback() override
	{
		if (Record)
		{
			++Record->PreUnloads;
		}
	}
	void ShutdownModule() override
	{
		if (Record)
		{
			++Record->Shutdowns;
		}
	}

private:
	int32 StartupCount = 0;
	FTestModuleRecord* Record = nullptr;
};
} // namespace

#ifndef ORVIDA_TEST_MODULE_NO_ENTRY
IMPLEMENT_MODULE(FOrvidaTestModule, OrvidaTestModule)
#else
// Something to link against the first module, so that its entry is among this library's dependencies.
extern "C"
{
	DLLEXPORT int OrvidaTestModuleNoEntryMarker = 1;
}
#endif
