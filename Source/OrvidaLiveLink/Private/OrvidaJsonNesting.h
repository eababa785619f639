#pragma once

#include "CoreMinimal.h"

/**
 * How deeply a datagram's JSON text nests, measured on its bytes before anything parses them.
 *
 * The engine's JSON reader accepts any depth and builds one shared value per array or object; the tree is
 * released recursively when its last pointer goes. One 65,507-byte datagram can nest 32,753 arrays, and releasing
 * a few thousand levels already overflows a receiver thread's 128 KiB stack, taking the editor down. So the
 * decoder refuses such text before the reader ever sees it.
 */
class ORVIDALIVELINK_API FOrvidaJsonNesting
{
public:
	/**
	 * The deepest nesting of arrays and objects a datagram may have: "[[1]]" has depth 2. A camera message nests
	 * three levels; 64 leaves room for any sender's additions and stays far inside the receiver's stack.
	 */
	static constexpr int32 MaxDepth = 64;

	/**
	 * True when '[' and '{' outside strings nest deeper than MaxDepth anywhere in the Count bytes. One pass, no
	 * allocation. Zero bytes are skipped, as the decoder drops them; a closing bracket without its opening one
	 * never lowers the count below zero, so it cannot hide openings that follow. Never fails, whatever the bytes.
	 */
	static bool IsTooDeep(const uint8* Bytes, int32 Count);
};
