#include "UObject/Class.h"
#include "Containers/StringConv.h"
#include "LiveLinkRole.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkCameraTypes.h"
#include "Roles/LiveLinkTransformRole.h"
#include "Templates/Casts.h"
#include "Templates/SubclassOf.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
/** Counts its live instances, and holds a string long enough to live on the heap, so that a missed destructor shows. */
struct FCountedStruct
{
	DECLARE_SCRIPT_STRUCT(FCountedStruct, void)

	static inline int32 LiveCount = 0;

	FString Label = TEXT("a label long enough to need its own allocation");
	int32 Value = 7;

	FCountedStruct() { ++LiveCount; }
	FCountedStruct(const FCountedStruct& Other)
	    : Label(Other.Label)
	    , Value(Other.Value)
	{
		++LiveCount;
	}
	FCountedStruct& operator=(const FCountedStruct&) = default;
	FCountedStruct& operator=(FCountedStruct&&) = default;
	~FCountedStruct() { --LiveCount; }
};

/** A struct whose instances cannot be copied. */
struct FMoveOnlyStruct
{
	DECLARE_SCRIPT_STRUCT(FMoveOnlyStruct, void)

	std::unique_ptr<int32> Value = std::make_unique<int32>(5);
};

std::string NameOf(const UStruct* Struct) { return TCHAR_TO_UTF8(*Struct->GetName()); }
} // namespace

IMPLEMENT_SCRIPT_STRUCT(FCountedStruct)
IMPLEMENT_SCRIPT_STRUCT(FMoveOnlyStruct)

TEST(Class, IsChildOfFollowsTheWholeSuperChain)
{
	UScriptStruct* const BaseFrame = FLiveLinkBaseFrameData::StaticStruct();
	UScriptStruct* const TransformFrame = FLiveLinkTransformFrameData::StaticStruct();
	UScriptStruct* const CameraFrame = FLiveLinkCameraFrameData::StaticStruct();
	UScriptStruct* const BaseStatic = FLiveLinkBaseStaticData::StaticStruct();
	UScriptStruct* const CameraStatic = FLiveLinkCameraStaticData::StaticStruct();
	const struct
	{
		const UStruct* Struct;
		const UStruct* Base;
		bool bExpected;
	} Rows[] = {
	    {CameraFrame, CameraFrame, true},
	    {CameraFrame, TransformFrame, true},
	    {CameraFrame, BaseFrame, true},
	    {TransformFrame, BaseFrame, true},
	    {TransformFrame, CameraFrame, false},
	    {BaseFrame, TransformFrame, false},
	    // Frame and static chains never meet.
	    {CameraFrame, BaseStatic, false},
	    {CameraStatic, BaseFrame, false},
	    {CameraStatic, BaseStatic, true},
	    {CameraFrame, nullptr, false},
	    {ULiveLinkCameraRole::StaticClass(), ULiveLinkRole::StaticClass(), true},
	    {ULiveLinkCameraRole::StaticClass(), UObject::StaticClass(), true},
	    {ULiveLinkTransformRole::StaticClass(), ULiveLinkCameraRole::StaticClass(), false},
	};
	for (const auto& Row : Rows)
	{
		EXPECT_EQ(Row.Struct->IsChildOf(Row.Base), Row.bExpected) << NameOf(Row.Struct) << " of " << (Row.Base ? NameOf(Row.Base) : "null");
	}
	EXPECT_TRUE(CameraFrame->IsChildOf<FLiveLinkTransformFrameData>());
	EXPECT_FALSE(TransformFrame->IsChildOf<FLiveLinkCameraFrameData>());
	EXPECT_TRUE(ULiveLinkCameraRole::StaticClass()->IsChildOf<ULiveLinkTransformRole>());
}

TEST(Class, ReflectionObjectsAreMadeOnceAndNamedWithoutTheirPrefix)
{
	EXPECT_EQ(FLiveLinkCameraFrameData::StaticStruct(), FLiveLinkCameraFrameData::StaticStruct());
	EXPECT_EQ(FLiveLinkCameraFrameData::StaticStruct()->GetSuperStruct(), FLiveLinkTransformFrameData::StaticStruct());
	EXPECT_EQ(FLiveLinkBaseFrameData::StaticStruct()->GetSuperStruct(), nullptr);
	EXPECT_EQ(NameOf(FLiveLinkCameraFrameData::StaticStruct()), "LiveLinkCameraFrameData");
	EXPECT_EQ(NameOf(ULiveLinkCameraRole::StaticClass()), "LiveLinkCameraRole");
	EXPECT_EQ(NameOf(UObject::StaticClass()), "Object");
	EXPECT_EQ(ULiveLinkCameraRole::StaticClass()->GetSuperClass(), ULiveLinkTransformRole::StaticClass());
	EXPECT_EQ(UObject::StaticClass()->GetSuperClass(), nullptr);
}

TEST(Class, ScriptStructConstructsCopiesMovesAndDestroysInRawMemory)
{
	const UScriptStruct* Struct = FCountedStruct::StaticStruct();
	const UScriptStruct::ICppStructOps* Ops = Struct->GetCppStructOps();
	alignas(FCountedStruct) unsigned char Storage[3][sizeof(FCountedStruct)];
	const int32 LiveBefore = FCountedStruct::LiveCount;

	Struct->InitializeStruct(Storage[0], 3);
	EXPECT_EQ(FCountedStruct::LiveCount, LiveBefore + 3);
	FCountedStruct* Instances = reinterpret_cast<FCountedStruct*>(Storage);
	EXPECT_EQ(Instances[2].Value, 7);
	EXPECT_TRUE(Instances[2].Label.Equals(TEXT("a label long enough to need its own allocation")));

	Instances[0].Value = 41;
	Instances[0].Label = TEXT("copied");
	EXPECT_TRUE(Struct->CopyScriptStruct(&Instances[1], &Instances[0]));
	EXPECT_EQ(Instances[1].Value, 41);
	EXPECT_TRUE(Instances[1].Label.Equals(TEXT("copied")));

	Ops->Move(&Instances[2], &Instances[1]);
	EXPECT_TRUE(Instances[2].Label.Equals(TEXT("copied")));

	Struct->DestroyStruct(Storage[0], 3);
	EXPECT_EQ(FCountedStruct::LiveCount, LiveBefore);
}

TEST(Class, ScriptStructRefusesBadArgumentsAndUncopyableTypes)
{
	const UScriptStruct* Counted = FCountedStruct::StaticStruct();
	const int32 LiveBefore = FCountedStruct::LiveCount;
	Counted->InitializeStruct(nullptr);
	Counted->DestroyStruct(nullptr);
	alignas(FCountedStruct) unsigned char Storage[sizeof(FCountedStruct)];
	Counted->InitializeStruct(Storage, 0);
	EXPECT_EQ(FCountedStruct::LiveCount, LiveBefore);
	EXPECT_FALSE(Counted->CopyScriptStruct(nullptr, Storage));

	const UScriptStruct* MoveOnly = FMoveOnlyStruct::StaticStruct();
	alignas(FMoveOnlyStruct) unsigned char Lhs[sizeof(FMoveOnlyStruct)];
	alignas(FMoveOnlyStruct) unsigned char Rhs[sizeof(FMoveOnlyStruct)];
	MoveOnly->InitializeStruct(Lhs);
	MoveOnly->InitializeStruct(Rhs);
	EXPECT_FALSE(MoveOnly->CopyScriptStruct(Lhs, Rhs));
	MoveOnly->DestroyStruct(Lhs);
	MoveOnly->DestroyStruct(Rhs);
}

TEST(Class, AbstractClassesHaveNoConstructorAndOthersMakeInstancesOfThemselves)
{
	EXPECT_TRUE(ULiveLinkRole::StaticClass()->HasAnyClassFlags(CLASS_Abstract));
	EXPECT_EQ(ULiveLinkRole::StaticClass()->GetClassConstructor(), nullptr);

	UClass* CameraRoleClass = ULiveLinkCameraRole::StaticClass();
	EXPECT_FALSE(CameraRoleClass->HasAnyClassFlags(CLASS_Abstract));
	ASSERT_NE(CameraRoleClass->GetClassConstructor(), nullptr);
	const std::unique_ptr<UObject> Made(CameraRoleClass->GetClassConstructor()());
	EXPECT_EQ(Made->GetClass(), CameraRoleClass);
	EXPECT_TRUE(Made->IsA<ULiveLinkTransformRole>());
	EXPECT_FALSE(Made->IsA(nullptr));

	const ULiveLinkRole* Role = Cast<ULiveLinkRole>(Made.get());
	ASSERT_NE(Role, nullptr);
	EXPECT_EQ(Role->GetFrameDataStruct(), FLiveLinkCameraFrameData::StaticStruct());
	EXPECT_EQ(Role->GetStaticDataStruct(), FLiveLinkCameraStaticData::StaticStruct());

	const std::unique_ptr<UObject> Transform(ULiveLinkTransformRole::StaticClass()->GetClassConstructor()());
	EXPECT_EQ(Cast<ULiveLinkCameraRole>(Transform.get()), nullptr);
	EXPECT_EQ(Cast<ULiveLinkRole>(static_cast<UObject*>(nullptr)), nullptr);
}

TEST(Class, SubclassOfReadsAsNullForAClassOutsideItsBase)
{
	const TSubclassOf<ULiveLinkRole> Empty;
	EXPECT_EQ(Empty.Get(), nullptr);

	const TSubclassOf<ULiveLinkRole> Camera = ULiveLinkCameraRole::StaticClass();
	EXPECT_EQ(*Camera, ULiveLinkCameraRole::StaticClass());
	EXPECT_TRUE(Camera == ULiveLinkCameraRole::StaticClass());

	const TSubclassOf<ULiveLinkCameraRole> NotACamera = ULiveLinkTransformRole::StaticClass();
	EXPECT_EQ(NotACamera.Get(), nullptr);
	const TSubclassOf<ULiveLinkRole> NotARole = UObject::StaticClass();
	EXPECT_EQ(NotARole.Get(), nullptr);
	EXPECT_TRUE(NotARole == Empty);

	const TSubclassOf<ULiveLinkRole> Widened = TSubclassOf<ULiveLinkCameraRole>(ULiveLinkCameraRole::StaticClass());
	EXPECT_EQ(Widened.Get(), ULiveLinkCameraRole::StaticClass());
}
