#pragma once

#include "Roles/LiveLinkTransformTypes.h"
#include "Runtime/Launch/Resources/Version.h"

UENUM()
enum class ELiveLinkCameraProjectionMode : uint8
{
	Perspective,
	Orthographic,
};

/** Static data of a camera: which lens values its frames carry, and its film back in millimetres (-1 when unknown). */
USTRUCT()
struct LIVELINKINTERFACE_API FLiveLinkCameraStaticData : public FLiveLinkTransformStaticData
{
	DECLARE_SCRIPT_STRUCT(FLiveLinkCameraStaticData, FLiveLinkTransformStaticData)

	bool bIsFieldOfViewSupported = false;
	bool bIsAspectRatioSupported = false;
	bool bIsFocalLengthSupported = false;
	bool bIsProjectionModeSupported = false;
	float FilmBackWidth = -1.0f;
	float FilmBackHeight = -1.0f;
	bool bIsApertureSupported = false;
	bool bIsFocusDistanceSupported = false;
#if ENGINE_MAJOR_VERSION >= 5
	/** Set to false to force the camera to disable depth of field. */
	bool bIsDepthOfFieldSupported = true;
#endif
};

/** One sample of a camera: its transform and its lens. */
USTRUCT()
struct LIVELINKINTERFACE_API FLiveLinkCameraFrameData : public FLiveLinkTransformFrameData
{
	DECLARE_SCRIPT_STRUCT(FLiveLinkCameraFrameData, FLiveLinkTransformFrameData)

	/** Horizontal field of view in degrees. */
	float FieldOfView = 90.0f;
	/** Width over height. */
	float AspectRatio = 1.777778f;
	/** In millimetres. */
	float FocalLength = 50.0f;
	/** The f-number. */
	float Aperture = 2.8f;
	/** In centimetres. */
	float FocusDistance = 100000.0f;
	ELiveLinkCameraProjectionMode ProjectionMode = ELiveLinkCameraProjectionMode::Perspective;
};
