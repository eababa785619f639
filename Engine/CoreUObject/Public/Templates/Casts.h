#pragma once

#include "UObject/Object.h"

/** The object as a T when its class is T or derived from T; null otherwise, and for a null object. */
template <class T> T* Cast(UObject* Object) { return Object != nullptr && Object->IsA<T>() ? static_cast<T*>(Object) : nullptr; }
template <class T> const T* Cast(const UObject* Object) { return Object != nullptr && Object->IsA<T>() ? static_cast<const T*>(Object) : nullptr; }
