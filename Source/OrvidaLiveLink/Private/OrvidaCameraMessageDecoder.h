#pragma once

#include "CoreMinimal.h"
#include "OrvidaCameraSample.h"
#include "OrvidaLogLimiter.h"

class FJsonObject;

/**
 * Turns the bytes of one datagram into camera samples: the text is the bytes decoded as UTF-8 with zero bytes
 * dropped (FOrvidaUtf8Text), and must be one JSON object; its "OVDCamera" array's first element is the camera
 * record. Text nested deeper than FOrvidaJsonNesting::MaxDepth is dropped before it is parsed, with a Warning
 * in ModuleLog under a limiter of its own (the engine's reader would otherwise build, and release recursively,
 * a tree deep enough to overflow the receiver's stack).
 * Every other top-level key logs "Unknow data received" at Error in ModuleLog, through the decoder's log limiter;
 * the first message after a window in which lines were held back logs their count at Warning first.
 *
 * Threads: decoding changes the log limiters, so one thread at a time decodes with one decoder; a source has its
 * own and decodes on its receiver thread alone.
 */
class ORVIDALIVELINK_API FOrvidaCameraMessageDecoder
{
public:
	/** What one datagram held, as the source's stream health counts it. */
	struct FOutcome
	{
		/** The text parsed as one JSON object; false also for text refused as nested too deeply. */
		bool bParsed = false;
		/** An "OVDCamera" array whose first element is an object, whether or not that record gave a sample. */
		bool bHasCameraRecord = false;
		/** Top-level keys other than the camera key: one "Unknow data received" line each, written or held back. */
		int32 ForeignKeys = 0;
		/** Samples handed to Commit: 0 or 1. */
		int32 Samples = 0;
	};

	/**
	 * Every field is read whatever the source's options, since they may change while the ring holds the sample; they
	 * decide only what is published. bInAutoLens decides what a lens value that cannot be published does: under it
	 * the record is dropped, as for a transform value, and without it the lens is cleared and the record kept.
	 */
	explicit FOrvidaCameraMessageDecoder(bool bInAutoLens);

	/** Changes "Auto Lens Update" from the next Decode; on the decoding thread. */
	void SetAutoLens(bool bInAutoLens) { bAutoLens = bInAutoLens; }

	/**
	 * Decodes Count bytes and hands the sample to Commit; returns what the datagram held.
	 * Text nested too deeply: nothing handed on, one Warning (limited). Text that does not parse as a JSON object,
	 * an "OVDCamera" that is not an array, an empty one or one whose first element is not an object: nothing
	 * handed on, nothing logged. Missing or short fields take their
	 * defaults. A record with a Location, Rotation or Scale value, or under bAutoLens a lens value, that is not
	 * finite at the precision it is published at: nothing handed on; such a lens value without bAutoLens: the lens
	 * cleared. Never fails otherwise, whatever the bytes.
	 */
	FOutcome Decode(const uint8* Bytes, int32 Count, TFunctionRef<void(FOrvidaCameraSample&&)> Commit);

	/** What Decode does once the text has parsed: Message's camera record to a sample, its foreign keys logged. */
	FOutcome DecodeMessage(const FJsonObject& Message, TFunctionRef<void(FOrvidaCameraSample&&)> Commit);

private:
	bool bAutoLens;
	FOrvidaLogLimiter UnknownDataLimiter;
	/** Its own, so that a flood of deep text cannot hold back the foreign-key lines, nor they it. */
	FOrvidaLogLimiter DeepTextLimiter;
};
