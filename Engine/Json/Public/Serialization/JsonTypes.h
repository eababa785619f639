#pragma once

#include "CoreTypes.h"

/** The kind of a JSON value. None is a value that holds nothing, never produced by parsing. */
enum class EJson
{
	None,
	Null,
	String,
	Number,
	Boolean,
	Array,
	Object,
};
