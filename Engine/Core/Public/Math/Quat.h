#pragma once

#include "CoreTypes.h"
#include "Runtime/Launch/Resources/Version.h"

#include <type_traits>

namespace UE::Math
{
/**
 * A rotation quaternion X, Y, Z, W of T. Nothing normalises it behind the caller's back. Single precision as
 * FQuat in 4.27; in 5.x FQuat is the double one and FQuat4f the single one, converted only when written out.
 */
template <typename T> struct TQuat
{
	T X = T(0);
	T Y = T(0);
	T Z = T(0);
	T W = T(1);

	constexpr TQuat() = default;
	constexpr TQuat(T InX, T InY, T InZ, T InW)
	    : X(InX)
	    , Y(InY)
	    , Z(InZ)
	    , W(InW)
	{
	}
	template <typename FromType, std::enable_if_t<!std::is_same_v<T, FromType>, int> = 0>
	explicit constexpr TQuat(const TQuat<FromType>& From)
	    : X(T(From.X))
	    , Y(T(From.Y))
	    , Z(T(From.Z))
	    , W(T(From.W))
	{
	}

	static constexpr TQuat Identity() { return TQuat(T(0), T(0), T(0), T(1)); }

	constexpr bool operator==(const TQuat& Other) const { return X == Other.X && Y == Other.Y && Z == Other.Z && W == Other.W; }
	constexpr bool operator!=(const TQuat& Other) const { return !(*this == Other); }
};
} // namespace UE::Math

#if ENGINE_MAJOR_VERSION >= 5
using FQuat = UE::Math::TQuat<double>;
using FQuat4d = UE::Math::TQuat<double>;
using FQuat4f = UE::Math::TQuat<float>;
#else
using FQuat = UE::Math::TQuat<float>;
#endif
