#pragma once

#include "Math/Quat.h"
#include "Math/Vector.h"

/** Rotation, translation and scale; the identity by default. */
struct FTransform
{
	constexpr FTransform() = default;
	constexpr FTransform(const FQuat& InRotation, const FVector& InTranslation, const FVector& InScale3D)
	    : Rotation(InRotation)
	    , Translation(InTranslation)
	    , Scale3D(InScale3D)
	{
	}

	constexpr const FQuat& GetRotation() const { return Rotation; }
	constexpr const FVector& GetTranslation() const { return Translation; }
	constexpr const FVector& GetScale3D() const { return Scale3D; }
	/** Kept as given, without normalising. */
	void SetRotation(const FQuat& InRotation) { Rotation = InRotation; }
	void SetTranslation(const FVector& InTranslation) { Translation = InTranslation; }
	void SetScale3D(const FVector& InScale3D) { Scale3D = InScale3D; }

	constexpr bool Equals(const FTransform& Other) const { return Rotation == Other.Rotation && Translation == Other.Translation && Scale3D == Other.Scale3D; }

private:
	FQuat Rotation = FQuat::Identity();
	FVector Translation = FVector::ZeroVector();
	FVector Scale3D = FVector::OneVector();
};
