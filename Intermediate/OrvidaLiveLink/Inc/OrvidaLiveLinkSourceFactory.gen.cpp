// What the engine's header tool would generate for OrvidaLiveLinkSourceFactory.h, written by hand: the class,
// announced in the module's script package; it has no properties and no configuration of its own.
#include "OrvidaLiveLinkSourceFactory.h"

#include "UObject/GeneratedCppIncludes.h"

IMPLEMENT_CLASS_WITH_PROPERTIES(UOrvidaLiveLinkSourceFactory, TEXT("/Script/OrvidaLiveLink"))
{
}
