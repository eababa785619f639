#pragma once

#include "CoreMinimal.h"
#include "OrvidaCameraSample.h"
#include "OrvidaLogLimiter.h"

/**
 * Turns the bytes of one datagram into camera samples: the text is the bytes read as ISO 8859-1 with zero
 * bytes dropped, and must be one JSON object; its "OVDCamera" array's first element is the camera record.
 * Every other top-level key logs "Unknow data received" at Error in ModuleLog, through the decoder's log limiter;
 * the first message after a window in which lines were held back logs their count at Warning first.
 *
 * Threads: decoding changes the log limiter, so one thread at a time decodes with one decoder; a source has its
 * own and decodes on its receiver thread alone.
 */
class ORVIDALIVELINK_API FOrvidaCameraMessageDecoder
{
public:
	/** What one datagram held, as the source's stream health counts it. */
	struct FOutcome
	{
		/** The text parsed as one JSON object. */
		bool bParsed = false;
		/** An "OVDCamera" array whose first element is an object, whether or not that record gave a sample. */
		bool bHasCameraRecord = false;
		/** Top-level keys other than the camera key: one "Unknow data received" line each, written or held back. */
		int32 ForeignKeys = 0;
		/** Samples handed to Commit: 0 or 1. */
		int32 Samples = 0;
	};

	/** The source's options: lens values are read only under bAutoLens, metadata and state only under one of the others. */
	FOrvidaCameraMessageDecoder(bool bInAutoLens, bool bInAutoSceneTakeUpdate, bool bInAutoRecord);

	/**
	 * Decodes Count bytes and hands the sample to Commit; returns what the datagram held.
	 * Text that does not parse as a JSON object, an "OVDCamera" that is not an array, an empty one or one whose
	 * first element is not an object: nothing handed on, nothing logged. Missing or short fields take their
	 * defaults. A record with a Location, Rotation or Scale value, or a lens value read under bAutoLens, that is
	 * not finite at the precision it is published at: nothing handed on. Never fails otherwise, whatever the bytes.
	 */
	FOutcome Decode(const uint8* Bytes, int32 Count, TFunctionRef<void(FOrvidaCameraSample&&)> Commit);

private:
	bool bAutoLens;
	bool bReadTakeState;
	FOrvidaLogLimiter UnknownDataLimiter;
};
