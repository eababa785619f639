#pragma once

#include "CoreTypes.h"

enum class ECheckBoxState : uint8
{
	Unchecked,
	Checked,
	Undetermined
};
