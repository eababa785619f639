#pragma once

#include "CoreMinimal.h"
#include "Misc/OutputDevice.h"

#include <mutex>
#include <string>
#include <vector>

/** Collects every log line written while it exists. Lines may come from any thread. */
class FLogCapture final : public FOutputDevice
{
public:
	struct FLine
	{
		std::string Category;
		ELogVerbosity::Type Verbosity;
		std::string Text;
	};

	FLogCapture();
	~FLogCapture() override;

	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override;
	std::vector<FLine> GetLines() const;

private:
	/** Protects Lines. */
	mutable std::mutex Lock;
	std::vector<FLine> Lines;
};
