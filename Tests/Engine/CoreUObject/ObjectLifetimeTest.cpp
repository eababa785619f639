#include "Delegates/Delegate.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
/** Keeps what it was called with, and counts the objects of its class that were destroyed. */
class ULifetimeTestObject : public UObject
{
	DECLARE_CLASS_INTRINSIC(ULifetimeTestObject, UObject)

public:
	static inline int32 Destroyed = 0;
	~ULifetimeTestObject() override { ++Destroyed; }

	void OnValue(int32 Value, int32 Payload) { Calls.push_back(Value * 100 + Payload); }
	void OnTick() { Calls.push_back(-1); }

	std::vector<int32> Calls;
};

DECLARE_DELEGATE_OneParam(FOnValue, int32)

void Destroy(UObject* Object)
{
	Object->MarkPendingKill();
	CollectGarbage(RF_NoFlags);
}
} // namespace

IMPLEMENT_CLASS_INTRINSIC(ULifetimeTestObject)

TEST(ObjectLifetime, WeakPointerReadsNullFromPendingKillAndTheCollectorDestroysOnlyMarkedObjects)
{
	ULifetimeTestObject* Marked = NewObject<ULifetimeTestObject>();
	ULifetimeTestObject* Kept = NewObject<ULifetimeTestObject>(nullptr, ULifetimeTestObject::StaticClass());
	const TWeakObjectPtr<ULifetimeTestObject> WeakMarked(Marked);
	const TWeakObjectPtr<ULifetimeTestObject> WeakKept(Kept);
	const TWeakObjectPtr<const ULifetimeTestObject> WeakDefault(GetDefault<ULifetimeTestObject>());
	ASSERT_EQ(WeakMarked.Get(), Marked);
	const int32 DestroyedBefore = ULifetimeTestObject::Destroyed;

	Marked->MarkPendingKill();
	EXPECT_TRUE(Marked->IsPendingKill());
	EXPECT_EQ(WeakMarked.Get(), nullptr) << "pending kill reads as gone before the collector runs";
	EXPECT_EQ(WeakMarked.Get(true), Marked);

	CollectGarbage(RF_NoFlags);
	EXPECT_EQ(ULifetimeTestObject::Destroyed, DestroyedBefore + 1);
	EXPECT_FALSE(WeakMarked.IsValid(true));
	EXPECT_EQ(WeakKept.Get(), Kept) << "an object nobody marked stays";
	EXPECT_EQ(WeakDefault.Get(), GetDefault<ULifetimeTestObject>()) << "the class default object is never collected";

	Destroy(Kept);
	EXPECT_EQ(WeakKept.Get(), nullptr);
}

TEST(ObjectLifetime, WeakPointerToAGoneObjectNeverReadsTheObjectThatTakesItsPlace)
{
	ULifetimeTestObject* Gone = NewObject<ULifetimeTestObject>();
	const int32 GoneIndex = Gone->GetUniqueID();
	const TWeakObjectPtr<ULifetimeTestObject> WeakGone(Gone);
	Destroy(Gone);

	ULifetimeTestObject* Successor = NewObject<ULifetimeTestObject>();
	// The slot (and most likely the address) is reused at once; that is what could fool a weak pointer.
	ASSERT_EQ(Successor->GetUniqueID(), GoneIndex);
	const TWeakObjectPtr<ULifetimeTestObject> WeakSuccessor(Successor);
	EXPECT_EQ(WeakGone.Get(true), nullptr);
	EXPECT_EQ(WeakSuccessor.Get(), Successor);
	EXPECT_NE(WeakGone, WeakSuccessor);
	Destroy(Successor);
	EXPECT_EQ(WeakGone, WeakSuccessor) << "two pointers that read nothing compare equal";
}

TEST(UObjectDelegate, BindingEndsWithItsObject)
{
	ULifetimeTestObject* Object = NewObject<ULifetimeTestObject>();
	FOnValue Single = FOnValue::CreateUObject(Object, &ULifetimeTestObject::OnValue, 7);
	FSimpleMulticastDelegate Multicast;
	Multicast.AddUObject(Object, &ULifetimeTestObject::OnTick);
	Single.Execute(3);
	Multicast.Broadcast();
	EXPECT_EQ(Object->Calls, (std::vector<int32>{307, -1}));

	Object->MarkPendingKill();
	EXPECT_FALSE(Single.IsBound());
	EXPECT_FALSE(Single.ExecuteIfBound(4));
	EXPECT_FALSE(Multicast.IsBound());
	Multicast.Broadcast();
	EXPECT_EQ(Object->Calls, (std::vector<int32>{307, -1})) << "a pending-kill object is not called";

	CollectGarbage(RF_NoFlags);
	// Reaching the destroyed object here is what ASan would report.
	EXPECT_FALSE(Single.ExecuteIfBound(5));
	Multicast.Broadcast();
}

TEST(UObjectDelegateDeathTest, ExecuteOnceTheObjectIsGoneIsACheckedFailure)
{
	ULifetimeTestObject* Object = NewObject<ULifetimeTestObject>();
	const FOnValue Delegate = FOnValue::CreateUObject(Object, &ULifetimeTestObject::OnValue, 7);
	Destroy(Object);
	EXPECT_DEATH(Delegate.Execute(1), "Object != nullptr");
}
