#pragma once

#include "UObject/Class.h"

/** The class default object of T, made (and for a config class loaded) on first use; null when T is abstract. */
template <class T> const T* GetDefault() { return T::StaticClass()->template GetDefaultObject<T>(); }

/** GetDefault for callers that change the defaults (a settings editor); game thread. */
template <class T> T* GetMutableDefault() { return T::StaticClass()->template GetDefaultObject<T>(); }

namespace UE::CoreUObject::Private
{
/** A new object of Class, which must be a subclass of Base that can be instantiated (a checked failure otherwise), owned by the collector. */
COREUOBJECT_API UObject* ConstructObject(const UClass* Class, const UClass* Base);
} // namespace UE::CoreUObject::Private

/**
 * A new object of Class (T's own class when not given), which must be T or derive from it and must not be
 * abstract: anything else is a checked failure, as in the engine. The object belongs to the collector: it is
 * destroyed by the first CollectGarbage after it was marked pending kill. There are no packages here, so there is
 * no transient package either, and an object keeps no outer: Outer is taken for the engine's signature only.
 * Game thread.
 */
template <class T> T* NewObject(UObject* Outer = nullptr)
{
	return static_cast<T*>(UE::CoreUObject::Private::ConstructObject(T::StaticClass(), T::StaticClass()));
}
template <class T> T* NewObject(UObject* Outer, const UClass* Class)
{
	return static_cast<T*>(UE::CoreUObject::Private::ConstructObject(Class, T::StaticClass()));
}

/**
 * Destroys every object that NewObject made and that is marked pending kill. The engine's collector also finds
 * the objects nothing references any more; this one has no reachability analysis, so an object made with NewObject
 * lives until it is marked pending kill. No object here carries a flag, so KeepFlags keeps nothing, and every
 * collection purges fully. Game thread, outside any object's methods.
 */
COREUOBJECT_API void CollectGarbage(EObjectFlags KeepFlags, bool bPerformFullPurge = true);
