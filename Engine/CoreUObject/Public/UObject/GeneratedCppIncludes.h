// What the header tool's .gen.cpp files include: the reflection types, and here the stand-in's class builder
// (StandIn/ClassBuilder.h) that its hand-written .gen.cpp files describe their classes with.
#pragma once

#include "StandIn/ClassBuilder.h"
#include "UObject/Class.h"
#include "UObject/UnrealType.h"
