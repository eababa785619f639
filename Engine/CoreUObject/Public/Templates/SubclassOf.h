#pragma once

#include "UObject/Class.h"

/**
 * A class that is T or derives from T, or null. It may be given any class, as the engine's may; one that is not
 * a subclass of T reads as null through every accessor.
 */
template <class T> class TSubclassOf
{
public:
	TSubclassOf() = default;
	TSubclassOf(std::nullptr_t) {}
	TSubclassOf(UClass* From)
	    : Class(From)
	{
	}
	template <class U, std::enable_if_t<std::is_base_of_v<T, U>, int> = 0>
	TSubclassOf(const TSubclassOf<U>& From)
	    : Class(From.Get())
	{
	}

	/** The class, or null when it is null or not a subclass of T. */
	UClass* Get() const { return Class != nullptr && Class->IsChildOf(T::StaticClass()) ? Class : nullptr; }
	UClass* operator*() const { return Get(); }
	UClass* operator->() const { return Get(); }
	/** Comparisons go through this conversion, so two subclasses compare by the classes they read as. */
	operator UClass*() const { return Get(); }

private:
	UClass* Class = nullptr;
};
