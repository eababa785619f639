#include "HAL/PlatformTime.h"
#include "LiveLinkTypes.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformTypes.h"
#include "StandIn/StandInClock.h"
#include "UObject/Class.h"

#include <gtest/gtest.h>

namespace
{
/** A frame that counts its live instances and holds heap strings, so that a missed destructor shows twice over. */
struct FCountedFrameData : public FLiveLinkBaseFrameData
{
	DECLARE_SCRIPT_STRUCT(FCountedFrameData, FLiveLinkBaseFrameData)

	static inline int32 LiveCount = 0;

	FString Label = TEXT("a label long enough to need its own allocation");

	FCountedFrameData() { ++LiveCount; }
	FCountedFrameData(const FCountedFrameData& Other)
	    : FLiveLinkBaseFrameData(Other)
	    , Label(Other.Label)
	{
		++LiveCount;
	}
	FCountedFrameData& operator=(const FCountedFrameData&) = default;
	~FCountedFrameData() { --LiveCount; }
};

/** Puts the engine clock at a fixed reading for the life of the guard. */
class FFixedClock
{
public:
	explicit FFixedClock(uint64 Cycles)
	{
		FStandInClock::SetCycleSource([Cycles]() { return Cycles; });
	}
	~FFixedClock() { FStandInClock::SetCycleSource(nullptr); }
};
} // namespace

IMPLEMENT_SCRIPT_STRUCT(FCountedFrameData)

TEST(LiveLinkDataStruct, ConstructionRunsTheCameraDefaults)
{
	FLiveLinkFrameDataStruct Frame(FLiveLinkCameraFrameData::StaticStruct());
	const FLiveLinkCameraFrameData* Camera = Frame.Cast<FLiveLinkCameraFrameData>();
	ASSERT_NE(Camera, nullptr);
	EXPECT_EQ(Camera->FieldOfView, 90.0f);
	EXPECT_EQ(Camera->AspectRatio, 1.777778f);
	EXPECT_EQ(Camera->FocalLength, 50.0f);
	EXPECT_EQ(Camera->Aperture, 2.8f);
	EXPECT_EQ(Camera->FocusDistance, 100000.0f);
	EXPECT_EQ(Camera->ProjectionMode, ELiveLinkCameraProjectionMode::Perspective);
	EXPECT_TRUE(Camera->Transform.Equals(FTransform()));
	EXPECT_EQ(Camera->WorldTime.GetSourceTime(), -1.0);
	EXPECT_EQ(Camera->MetaData.StringMetaData.Num(), 0);
	// A frame without a scene time is at frame 0 of 24 frames a second, not of the frame rate's own 60000/1 default.
	EXPECT_EQ(Camera->MetaData.SceneTime.Time.FrameNumber.Value, 0);
	EXPECT_EQ(Camera->MetaData.SceneTime.Rate, FFrameRate(24, 1));

	FLiveLinkStaticDataStruct Static(FLiveLinkCameraStaticData::StaticStruct());
	const FLiveLinkCameraStaticData* CameraStatic = Static.Cast<FLiveLinkCameraStaticData>();
	ASSERT_NE(CameraStatic, nullptr);
	EXPECT_TRUE(CameraStatic->bIsLocationSupported);
	EXPECT_TRUE(CameraStatic->bIsRotationSupported);
	EXPECT_FALSE(CameraStatic->bIsScaleSupported);
	for (const bool bSupported : {CameraStatic->bIsFieldOfViewSupported, CameraStatic->bIsAspectRatioSupported, CameraStatic->bIsFocalLengthSupported,
	                              CameraStatic->bIsProjectionModeSupported, CameraStatic->bIsApertureSupported, CameraStatic->bIsFocusDistanceSupported})
	{
		EXPECT_FALSE(bSupported);
	}
	EXPECT_EQ(CameraStatic->FilmBackWidth, -1.0f);
	EXPECT_EQ(CameraStatic->FilmBackHeight, -1.0f);
}

TEST(LiveLinkDataStruct, CastAnswersForTheHeldStructAndItsBasesOnly)
{
	FLiveLinkFrameDataStruct Camera(FLiveLinkCameraFrameData::StaticStruct());
	FLiveLinkFrameDataStruct Transform(FLiveLinkTransformFrameData::StaticStruct());
	FLiveLinkFrameDataStruct Empty;

	EXPECT_EQ(static_cast<void*>(Camera.Cast<FLiveLinkCameraFrameData>()), static_cast<void*>(Camera.GetBaseData()));
	EXPECT_EQ(static_cast<void*>(Camera.Cast<FLiveLinkTransformFrameData>()), static_cast<void*>(Camera.GetBaseData()));
	EXPECT_NE(Camera.Cast<FLiveLinkBaseFrameData>(), nullptr);
	EXPECT_EQ(Transform.Cast<FLiveLinkCameraFrameData>(), nullptr);
	EXPECT_NE(Transform.Cast<FLiveLinkTransformFrameData>(), nullptr);
	EXPECT_EQ(Empty.Cast<FLiveLinkBaseFrameData>(), nullptr);
	EXPECT_EQ(Empty.GetBaseData(), nullptr);
	EXPECT_EQ(Empty.GetStruct(), nullptr);
	EXPECT_FALSE(Empty.IsValid());
	EXPECT_EQ(Camera.GetStruct(), FLiveLinkCameraFrameData::StaticStruct());
}

TEST(LiveLinkDataStruct, InitializeWithCopiesAndTheCopyIsIndependent)
{
	FLiveLinkCameraFrameData Source;
	Source.FieldOfView = 35.5f;
	Source.WorldTime = FLiveLinkWorldTime(12.0, 0.5);
	Source.MetaData.StringMetaData.Add(FName("Slate"), FString(TEXT("A004")));
	Source.PropertyValues.Add(3.0f);

	FLiveLinkFrameDataStruct Frame;
	Frame.InitializeWith(&Source);
	FLiveLinkCameraFrameData* Held = Frame.Cast<FLiveLinkCameraFrameData>();
	ASSERT_NE(Held, nullptr);
	EXPECT_NE(static_cast<void*>(Held), static_cast<void*>(&Source));
	EXPECT_EQ(Held->FieldOfView, 35.5f);
	EXPECT_EQ(Held->WorldTime.GetOffsettedTime(), 12.5);
	EXPECT_TRUE(Held->MetaData.StringMetaData.FindRef(FName("Slate")).Equals(TEXT("A004")));
	EXPECT_EQ(Held->PropertyValues, TArray<float>({3.0f}));

	FLiveLinkFrameDataStruct Copy;
	Copy.InitializeWith(Frame);
	Copy.Cast<FLiveLinkCameraFrameData>()->FieldOfView = 10.0f;
	Copy.Cast<FLiveLinkCameraFrameData>()->MetaData.StringMetaData.Add(FName("Slate"), FString(TEXT("B001")));
	EXPECT_EQ(Held->FieldOfView, 35.5f);
	EXPECT_TRUE(Held->MetaData.StringMetaData.FindRef(FName("Slate")).Equals(TEXT("A004")));
	EXPECT_EQ(Copy.GetStruct(), FLiveLinkCameraFrameData::StaticStruct());

	// A struct given with a base pointer is copied as the struct named, not sliced to the base.
	FLiveLinkFrameDataStruct ByStruct;
	ByStruct.InitializeWith(FLiveLinkCameraFrameData::StaticStruct(), &Source);
	EXPECT_EQ(ByStruct.Cast<FLiveLinkCameraFrameData>()->FieldOfView, 35.5f);
}

TEST(LiveLinkDataStruct, BadStructsLeaveTheOwnerEmpty)
{
	const struct
	{
		const char* Case;
		const UScriptStruct* Struct;
	} Rows[] = {
	    {"null struct", nullptr},
	    {"static struct in a frame owner", FLiveLinkCameraStaticData::StaticStruct()},
	};
	for (const auto& Row : Rows)
	{
		FLiveLinkFrameDataStruct Frame(FLiveLinkCameraFrameData::StaticStruct());
		Frame.InitializeWith(Row.Struct, nullptr);
		EXPECT_FALSE(Frame.IsValid()) << Row.Case;
		EXPECT_EQ(Frame.GetStruct(), nullptr) << Row.Case;
	}
	FLiveLinkFrameDataStruct FromNull(FLiveLinkCameraFrameData::StaticStruct());
	FromNull.InitializeWith(static_cast<const FLiveLinkCameraFrameData*>(nullptr));
	EXPECT_FALSE(FromNull.IsValid());
	FLiveLinkFrameDataStruct FromEmpty(FLiveLinkCameraFrameData::StaticStruct());
	FromEmpty.InitializeWith(FLiveLinkFrameDataStruct());
	EXPECT_FALSE(FromEmpty.IsValid());
}

TEST(LiveLinkDataStruct, MovingHandsOverTheInstanceWithoutCopyingIt)
{
	const int32 LiveBefore = FCountedFrameData::LiveCount;
	FLiveLinkFrameDataStruct First(FCountedFrameData::StaticStruct());
	FLiveLinkBaseFrameData* Instance = First.GetBaseData();
	ASSERT_NE(Instance, nullptr);

	FLiveLinkFrameDataStruct Second(MoveTemp(First));
	EXPECT_FALSE(First.IsValid());
	EXPECT_EQ(First.GetStruct(), nullptr);
	EXPECT_EQ(Second.GetBaseData(), Instance);
	EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore + 1);

	FLiveLinkFrameDataStruct Third(FCountedFrameData::StaticStruct());
	EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore + 2);
	// Assigning over a held instance destroys it.
	Third = MoveTemp(Second);
	EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore + 1);
	EXPECT_EQ(Third.GetBaseData(), Instance);
	EXPECT_EQ(Third.Cast<FCountedFrameData>()->Label.Len(), 46);
	Third = MoveTemp(Third);
	EXPECT_EQ(Third.GetBaseData(), Instance);
}

TEST(LiveLinkDataStruct, ResetAndDestructionRunTheDestructor)
{
	const int32 LiveBefore = FCountedFrameData::LiveCount;
	{
		FLiveLinkFrameDataStruct Frame(FCountedFrameData::StaticStruct());
		FLiveLinkFrameDataStruct Copy;
		Copy.InitializeWith(Frame);
		EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore + 2);
		Frame.Reset();
		EXPECT_FALSE(Frame.IsValid());
		EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore + 1);
		Frame.Reset();
		// Re-initialising replaces the held instance.
		Copy.InitializeWith(FCountedFrameData::StaticStruct(), nullptr);
		EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore + 1);
	}
	EXPECT_EQ(FCountedFrameData::LiveCount, LiveBefore);
}

TEST(LiveLinkWorldTime, SourceTimeAloneTakesItsOffsetFromTheEngineClock)
{
	const FFixedClock Clock(uint64(250) * 1000000000ull);
	const double Now = FPlatformTime::Seconds();
	const FLiveLinkWorldTime Time(100.0);
	EXPECT_EQ(Time.GetSourceTime(), 100.0);
	EXPECT_EQ(Time.GetOffset(), Now - 100.0);
	EXPECT_EQ(Time.GetOffsettedTime(), Now);

	FLiveLinkWorldTime Given(100.0, 2.5);
	EXPECT_EQ(Given.GetOffsettedTime(), 102.5);
	Given.SetClockOffset(-1.0);
	EXPECT_EQ(Given.GetOffsettedTime(), 99.0);
	EXPECT_EQ(Given.Time, 100.0);
	EXPECT_EQ(Given.Offset, -1.0);
}
