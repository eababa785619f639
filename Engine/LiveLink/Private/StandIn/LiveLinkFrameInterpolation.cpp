#include "StandIn/LiveLinkFrameInterpolation.h"

#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformTypes.h"

#include <algorithm>
#include <cmath>

namespace
{
/** The engine's tolerance for "nearly" in its interpolation. */
constexpr double SmallNumber = 1e-8;

double Lerp(double A, double B, double Weight) { return A + (B - A) * Weight; }
float LerpSingle(float A, float B, double Weight) { return float(Lerp(A, B, Weight)); }

FVector LerpVector(const FVector& A, const FVector& B, float Weight)
{
	return FVector(A.X * (1.0f - Weight) + B.X * Weight, A.Y * (1.0f - Weight) + B.Y * Weight, A.Z * (1.0f - Weight) + B.Z * Weight);
}

/** A's share plus B's, B turned to A's side of the sphere first, then normalised; the identity when nothing is left. */
FQuat BlendRotation(const FQuat& A, const FQuat& B, float Weight)
{
	const float Dot = A.X * B.X + A.Y * B.Y + A.Z * B.Z + A.W * B.W;
	const float BWeight = Dot < 0.0f ? -Weight : Weight;
	const float AWeight = 1.0f - Weight;
	FQuat Sum(A.X * AWeight + B.X * BWeight, A.Y * AWeight + B.Y * BWeight, A.Z * AWeight + B.Z * BWeight, A.W * AWeight + B.W * BWeight);
	const float SquareSum = Sum.X * Sum.X + Sum.Y * Sum.Y + Sum.Z * Sum.Z + Sum.W * Sum.W;
	if (SquareSum < float(SmallNumber))
	{
		return FQuat::Identity();
	}
	const float Scale = 1.0f / std::sqrt(SquareSum);
	return FQuat(Sum.X * Scale, Sum.Y * Scale, Sum.Z * Scale, Sum.W * Scale);
}

FFrameTime LerpFrameTime(const FFrameTime& A, const FFrameTime& B, double Weight)
{
	const double Decimal = Lerp(double(A.FrameNumber.Value) + A.GetSubFrame(), double(B.FrameNumber.Value) + B.GetSubFrame(), Weight);
	const double Frame = std::floor(Decimal);
	return FFrameTime(FFrameNumber(int32(Frame)), float(Decimal - Frame));
}
} // namespace

void FLiveLinkFrameInterpolation::EvaluateAtWorldTime(const TArray<FLiveLinkFrameDataStruct>& Frames, double ReadTime, FLiveLinkFrameDataStruct& OutFrame)
{
	OutFrame.Reset();
	if (Frames.Num() == 0)
	{
		return;
	}
	for (int32 Index = Frames.Num() - 1; Index >= 0; --Index)
	{
		const double Time = Frames[Index].GetBaseData()->WorldTime.GetOffsettedTime();
		if (Time > ReadTime)
		{
			continue;
		}
		if (Index == Frames.Num() - 1)
		{
			OutFrame.InitializeWith(Frames[Index]);
			return;
		}
		const double NextTime = Frames[Index + 1].GetBaseData()->WorldTime.GetOffsettedTime();
		const double Weight = (ReadTime - Time) / (NextTime - Time);
		if (std::fabs(Weight) <= SmallNumber)
		{
			OutFrame.InitializeWith(Frames[Index]);
		}
		else if (std::fabs(1.0 - Weight) <= SmallNumber)
		{
			OutFrame.InitializeWith(Frames[Index + 1]);
		}
		else
		{
			Blend(Frames[Index], Frames[Index + 1], Weight, OutFrame);
		}
		return;
	}
	OutFrame.InitializeWith(Frames[0]);
}

void FLiveLinkFrameInterpolation::Blend(const FLiveLinkFrameDataStruct& A, const FLiveLinkFrameDataStruct& B, double BlendWeight,
                                        FLiveLinkFrameDataStruct& OutFrame)
{
	OutFrame.InitializeWith(BlendWeight > 0.5 ? B : A);
	const FLiveLinkBaseFrameData* BaseA = A.GetBaseData();
	const FLiveLinkBaseFrameData* BaseB = B.GetBaseData();
	FLiveLinkBaseFrameData* Out = OutFrame.GetBaseData();
	if (BaseA == nullptr || BaseB == nullptr || Out == nullptr)
	{
		return;
	}
	Out->WorldTime = FLiveLinkWorldTime(Lerp(BaseA->WorldTime.GetOffsettedTime(), BaseB->WorldTime.GetOffsettedTime(), BlendWeight), 0.0);
	Out->MetaData.SceneTime.Time = LerpFrameTime(BaseA->MetaData.SceneTime.Time, BaseB->MetaData.SceneTime.Time, BlendWeight);
	const int32 PropertyCount = std::min(BaseA->PropertyValues.Num(), BaseB->PropertyValues.Num());
	Out->PropertyValues.SetNumUninitialized(PropertyCount);
	for (int32 Index = 0; Index < PropertyCount; ++Index)
	{
		Out->PropertyValues[Index] = LerpSingle(BaseA->PropertyValues[Index], BaseB->PropertyValues[Index], BlendWeight);
	}

	const FLiveLinkTransformFrameData* TransformA = A.Cast<FLiveLinkTransformFrameData>();
	const FLiveLinkTransformFrameData* TransformB = B.Cast<FLiveLinkTransformFrameData>();
	if (FLiveLinkTransformFrameData* Transform = OutFrame.Cast<FLiveLinkTransformFrameData>(); Transform && TransformA && TransformB)
	{
		const float Weight = float(BlendWeight);
		const FTransform& From = TransformA->Transform;
		const FTransform& To = TransformB->Transform;
		Transform->Transform =
		    FTransform(BlendRotation(From.GetRotation(), To.GetRotation(), Weight), LerpVector(From.GetTranslation(), To.GetTranslation(), Weight),
		               LerpVector(From.GetScale3D(), To.GetScale3D(), Weight));
	}

	const FLiveLinkCameraFrameData* CameraA = A.Cast<FLiveLinkCameraFrameData>();
	const FLiveLinkCameraFrameData* CameraB = B.Cast<FLiveLinkCameraFrameData>();
	if (FLiveLinkCameraFrameData* Camera = OutFrame.Cast<FLiveLinkCameraFrameData>(); Camera && CameraA && CameraB)
	{
		Camera->FieldOfView = LerpSingle(CameraA->FieldOfView, CameraB->FieldOfView, BlendWeight);
		Camera->AspectRatio = LerpSingle(CameraA->AspectRatio, CameraB->AspectRatio, BlendWeight);
		Camera->FocalLength = LerpSingle(CameraA->FocalLength, CameraB->FocalLength, BlendWeight);
		Camera->Aperture = LerpSingle(CameraA->Aperture, CameraB->Aperture, BlendWeight);
		Camera->FocusDistance = LerpSingle(CameraA->FocusDistance, CameraB->FocusDistance, BlendWeight);
	}
}
