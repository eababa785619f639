#pragma once

#include "CoreTypes.h"
#include "Runtime/Launch/Resources/Version.h"

#include <type_traits>

namespace UE::Math
{
/**
 * A 3D vector of T. 4.27 has only the single-precision one, as FVector; 5.x makes FVector the double one and
 * names the single one FVector3f. One precision becomes the other only when the conversion is written out.
 */
template <typename T> struct TVector
{
	T X = T(0);
	T Y = T(0);
	T Z = T(0);

	constexpr TVector() = default;
	constexpr TVector(T InX, T InY, T InZ)
	    : X(InX)
	    , Y(InY)
	    , Z(InZ)
	{
	}
	template <typename FromType, std::enable_if_t<!std::is_same_v<T, FromType>, int> = 0>
	explicit constexpr TVector(const TVector<FromType>& From)
	    : X(T(From.X))
	    , Y(T(From.Y))
	    , Z(T(From.Z))
	{
	}

	static constexpr TVector ZeroVector() { return TVector(T(0), T(0), T(0)); }
	static constexpr TVector OneVector() { return TVector(T(1), T(1), T(1)); }

	constexpr bool operator==(const TVector& Other) const { return X == Other.X && Y == Other.Y && Z == Other.Z; }
	constexpr bool operator!=(const TVector& Other) const { return !(*this == Other); }
};
} // namespace UE::Math

#if ENGINE_MAJOR_VERSION >= 5
using FVector = UE::Math::TVector<double>;
using FVector3d = UE::Math::TVector<double>;
using FVector3f = UE::Math::TVector<float>;
#else
using FVector = UE::Math::TVector<float>;
#endif
