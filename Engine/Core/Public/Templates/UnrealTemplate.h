#pragma once

#include "CoreTypes.h"

#include <type_traits>
#include <utility>

/** Casts to an rvalue; refuses a const argument, whose "move" would silently copy. */
template <typename T> constexpr std::remove_reference_t<T>&& MoveTemp(T&& Object)
{
	static_assert(!std::is_const_v<std::remove_reference_t<T>>, "MoveTemp called on a const object");
	return static_cast<std::remove_reference_t<T>&&>(Object);
}

template <typename T> constexpr T&& Forward(std::remove_reference_t<T>& Object) { return static_cast<T&&>(Object); }
