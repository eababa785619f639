#pragma once

#include "Misc/OutputDevice.h"

#include <mutex>
#include <vector>

/**
 * Hands every log line to each registered output device. Threads: any thread may log, add or remove devices;
 * one lock serialises them, so a device sees whole lines one at a time and is never called after its removal
 * has returned.
 */
class CORE_API FOutputDeviceRedirector : public FOutputDevice
{
public:
	/** The process-wide log, which starts with one device that writes to standard error (StandIn/StandInLog.h). */
	static FOutputDeviceRedirector* Get();

	/** Adding a device twice adds it once; null is ignored. */
	void AddOutputDevice(FOutputDevice* OutputDevice);
	void RemoveOutputDevice(FOutputDevice* OutputDevice);
	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override;

private:
	/** Protects OutputDevices. */
	std::mutex Lock;
	std::vector<FOutputDevice*> OutputDevices;
};

#define GLog (FOutputDeviceRedirector::Get())
