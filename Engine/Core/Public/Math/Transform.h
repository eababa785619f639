#pragma once

#include "Math/Quat.h"
#include "Math/Vector.h"

namespace UE::Math
{
/** Rotation, translation and scale of T; the identity by default. FTransform3f and FTransform convert only when written out. */
template <typename T> struct TTransform
{
	constexpr TTransform() = default;
	constexpr TTransform(const TQuat<T>& InRotation, const TVector<T>& InTranslation, const TVector<T>& InScale3D)
	    : Rotation(InRotation)
	    , Translation(InTranslation)
	    , Scale3D(InScale3D)
	{
	}
	template <typename FromType, std::enable_if_t<!std::is_same_v<T, FromType>, int> = 0>
	explicit constexpr TTransform(const TTransform<FromType>& From)
	    : Rotation(From.GetRotation())
	    , Translation(From.GetTranslation())
	    , Scale3D(From.GetScale3D())
	{
	}

	constexpr const TQuat<T>& GetRotation() const { return Rotation; }
	constexpr const TVector<T>& GetTranslation() const { return Translation; }
	constexpr const TVector<T>& GetScale3D() const { return Scale3D; }
	/** Kept as given, without normalising. */
	void SetRotation(const TQuat<T>& InRotation) { Rotation = InRotation; }
	void SetTranslation(const TVector<T>& InTranslation) { Translation = InTranslation; }
	void SetScale3D(const TVector<T>& InScale3D) { Scale3D = InScale3D; }

	constexpr bool Equals(const TTransform& Other) const { return Rotation == Other.Rotation && Translation == Other.Translation && Scale3D == Other.Scale3D; }

private:
	TQuat<T> Rotation = TQuat<T>::Identity();
	TVector<T> Translation = TVector<T>::ZeroVector();
	TVector<T> Scale3D = TVector<T>::OneVector();
};
} // namespace UE::Math

#if ENGINE_MAJOR_VERSION >= 5
using FTransform = UE::Math::TTransform<double>;
using FTransform3d = UE::Math::TTransform<double>;
using FTransform3f = UE::Math::TTransform<float>;
#else
using FTransform = UE::Math::TTransform<float>;
#endif
