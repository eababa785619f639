// What the engine's header tool would generate for OrvidaLiveLinkSourceFactory.h, written by hand.
#pragma once

#include "UObject/ObjectMacros.h"

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID OrvidaLiveLinkSourceFactory_h

#define OrvidaLiveLinkSourceFactory_h_GENERATED_BODY DECLARE_CLASS_WITH_PROPERTIES(UOrvidaLiveLinkSourceFactory, ULiveLinkSourceFactory)
