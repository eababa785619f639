#pragma once

#include "Misc/OutputDevice.h"

#include <mutex>
#include <string>

/**
 * Keeps the last Error line that the Take Recorder logs (a take file that could not be made or written), as the
 * editor's message log shows it; the host's Take Recorder has no other way to tell. Registers itself with the log
 * for its lifetime.
 *
 * Threads: the log calls Serialize on whichever thread logged; GetLastError may be called on any thread. Lock
 * protects LastError.
 */
class FHostTakeErrorLog final : public FOutputDevice
{
public:
	FHostTakeErrorLog();
	~FHostTakeErrorLog() override;
	FHostTakeErrorLog(const FHostTakeErrorLog&) = delete;
	FHostTakeErrorLog& operator=(const FHostTakeErrorLog&) = delete;

	/** Keeps Text when it is an Error (or Fatal) line of LogTakeRecorder; ignores every other line. */
	void Serialize(const TCHAR* Text, ELogVerbosity::Type Verbosity, const FName& Category) override;
	/** UTF-8; empty while the Take Recorder has logged no error. */
	std::string GetLastError() const;

private:
	mutable std::mutex Lock;
	std::string LastError;
};
