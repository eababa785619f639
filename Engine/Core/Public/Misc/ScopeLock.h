#pragma once

#include "HAL/CriticalSection.h"

/** Holds a critical section for its scope. */
class FScopeLock
{
public:
	explicit FScopeLock(FCriticalSection* InSynchObject)
	    : SynchObject(InSynchObject)
	{
		check(SynchObject);
		SynchObject->Lock();
	}
	~FScopeLock() { Unlock(); }
	FScopeLock(const FScopeLock&) = delete;
	FScopeLock& operator=(const FScopeLock&) = delete;

	void Unlock()
	{
		if (SynchObject)
		{
			SynchObject->Unlock();
			SynchObject = nullptr;
		}
	}

private:
	FCriticalSection* SynchObject;
};
