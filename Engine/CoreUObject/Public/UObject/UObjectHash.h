#pragma once

#include "CoreMinimal.h"

class UClass;

/**
 * Appends to Results every registered class derived from ClassToLookFor (not the class itself): the direct
 * children only unless bRecursive. A null ClassToLookFor adds nothing. Any thread.
 */
COREUOBJECT_API void GetDerivedClasses(const UClass* ClassToLookFor, TArray<UClass*>& Results, bool bRecursive = true);
