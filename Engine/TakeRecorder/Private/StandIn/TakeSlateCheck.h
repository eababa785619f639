// Whether a slate can name a take's asset, as the editor checks before it records: the slate becomes part of a
// long package name, which may not hold a space, a tab, a line break or any of . , ' & ! ~ @ # \ : * ? " < > |.
#pragma once

#include "CoreMinimal.h"

namespace TakeSlateCheck
{
/** Empty when Slate can name a take; otherwise why not, naming the first character it cannot hold. */
FString FindFault(const FString& Slate);
} // namespace TakeSlateCheck
