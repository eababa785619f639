#pragma once

#include "CoreTypes.h"

#include <functional>

/** A copyable callable; an unset one is false. */
template <typename FuncType>
using TFunction = std::function<FuncType>;
