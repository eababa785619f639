#pragma once

#include "UObject/Class.h"

/** The class default object of T, made (and for a config class loaded) on first use; null when T is abstract. */
template <class T>
const T* GetDefault()
{
	return T::StaticClass()->template GetDefaultObject<T>();
}

/** GetDefault for callers that change the defaults (a settings editor); game thread. */
template <class T>
T* GetMutableDefault()
{
	return T::StaticClass()->template GetDefaultObject<T>();
}
