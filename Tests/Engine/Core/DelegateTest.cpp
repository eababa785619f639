#include "Delegates/Delegate.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
/** What a binding saw: the call's own parameter followed by the payload it was bound with. */
struct FCall
{
	int32 Param;
	int32 PayloadA;
	int64 PayloadB;

	bool operator==(const FCall& Other) const { return Param == Other.Param && PayloadA == Other.PayloadA && PayloadB == Other.PayloadB; }
};

void RecordStatic(int32 Param, int32 PayloadA, int64 PayloadB, std::vector<FCall>* Calls) { Calls->push_back(FCall{Param, PayloadA, PayloadB}); }

class FReceiver
{
public:
	explicit FReceiver(std::vector<int32>& InCalls)
	    : Calls(InCalls)
	{
	}

	void OnValue(int32 Value) { Calls.push_back(Value); }
	void OnValueWithPayload(int32 Value, int32 Offset) { Calls.push_back(Value + Offset); }
	void OnTick() { Calls.push_back(-1); }

private:
	std::vector<int32>& Calls;
};

DECLARE_DELEGATE_OneParam(FOnValue, int32)
DECLARE_DELEGATE_RetVal_OneParam(int32, FOnTransform, int32)
DECLARE_MULTICAST_DELEGATE_OneParam(FOnValueMulticast, int32)
} // namespace

TEST(Delegate, StaticBindingPassesPayloadAfterTheCallParameters)
{
	std::vector<FCall> Calls;
	const FOnValue Delegate = FOnValue::CreateStatic(&RecordStatic, int32(7), int64(1) << 40, &Calls);
	ASSERT_TRUE(Delegate.IsBound());
	Delegate.Execute(3);
	EXPECT_TRUE(Delegate.ExecuteIfBound(4));
	ASSERT_EQ(Calls.size(), 2u);
	EXPECT_EQ(Calls[0], (FCall{3, 7, int64(1) << 40}));
	EXPECT_EQ(Calls[1], (FCall{4, 7, int64(1) << 40}));
}

TEST(Delegate, RawAndLambdaBindingsCallWithTheirPayload)
{
	std::vector<int32> Calls;
	FReceiver Receiver(Calls);
	FOnValue Raw = FOnValue::CreateRaw(&Receiver, &FReceiver::OnValueWithPayload, 100);
	Raw.Execute(5);

	FOnTransform Lambda;
	EXPECT_FALSE(Lambda.IsBound());
	Lambda.BindLambda([](int32 Value, int32 Factor) { return Value * Factor; }, 3);
	EXPECT_EQ(Lambda.Execute(14), 42);

	Raw.Unbind();
	EXPECT_FALSE(Raw.IsBound());
	EXPECT_FALSE(Raw.ExecuteIfBound(6));
	EXPECT_EQ(Calls, (std::vector<int32>{105}));
}

TEST(Delegate, SharedPointerBindingEndsWithItsObject)
{
	std::vector<int32> Calls;
	TSharedPtr<FReceiver> Receiver = MakeShared<FReceiver>(Calls);
	const TWeakPtr<FReceiver> Weak = Receiver;
	FOnValue Delegate;
	Delegate.BindSP(Receiver, &FReceiver::OnValue);
	EXPECT_TRUE(Delegate.ExecuteIfBound(1));

	Receiver.Reset();
	// The binding must not have kept the object alive.
	EXPECT_FALSE(Weak.IsValid());
	EXPECT_FALSE(Delegate.IsBound());
	EXPECT_FALSE(Delegate.ExecuteIfBound(2));
	EXPECT_EQ(Calls, (std::vector<int32>{1}));
}

TEST(MulticastDelegate, BroadcastCallsBindingsInTheOrderAdded)
{
	FOnValueMulticast Delegate;
	Delegate.Broadcast(0);
	EXPECT_FALSE(Delegate.IsBound());

	std::vector<int32> Calls;
	FReceiver Receiver(Calls);
	Delegate.AddLambda([&Calls](int32 Value) { Calls.push_back(Value * 10 + 1); });
	Delegate.AddRaw(&Receiver, &FReceiver::OnValueWithPayload, 2);
	Delegate.AddLambda([&Calls](int32 Value) { Calls.push_back(Value * 10 + 3); });
	EXPECT_TRUE(Delegate.IsBound());
	Delegate.Broadcast(5);
	EXPECT_EQ(Calls, (std::vector<int32>{51, 7, 53}));

	EXPECT_EQ(Delegate.RemoveAll(&Receiver), 1);
	Calls.clear();
	Delegate.Broadcast(6);
	EXPECT_EQ(Calls, (std::vector<int32>{61, 63}));
}

TEST(MulticastDelegate, RemoveByHandleRemovesOnlyThatBindingOnce)
{
	FSimpleMulticastDelegate Delegate;
	std::vector<int32> Calls;
	const FDelegateHandle First = Delegate.AddLambda([&Calls] { Calls.push_back(1); });
	const FDelegateHandle Second = Delegate.AddLambda([&Calls] { Calls.push_back(2); });
	ASSERT_TRUE(First.IsValid());
	ASSERT_NE(First, Second);

	EXPECT_TRUE(Delegate.Remove(First));
	EXPECT_FALSE(Delegate.Remove(First));
	EXPECT_FALSE(Delegate.Remove(FDelegateHandle()));
	// An unbound delegate adds nothing, and its invalid handle removes nothing.
	EXPECT_FALSE(Delegate.Add(FSimpleDelegate()).IsValid());
	Delegate.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{2}));

	EXPECT_TRUE(Delegate.Remove(Second));
	EXPECT_FALSE(Delegate.IsBound());
}

TEST(MulticastDelegate, BindingsMayChangeTheListDuringBroadcast)
{
	FSimpleMulticastDelegate Delegate;
	std::vector<int32> Calls;
	FDelegateHandle RemovesItself;
	FDelegateHandle RemovedByOther;
	bool bAdded = false;

	RemovesItself = Delegate.AddLambda(
	    [&]
	    {
		    Calls.push_back(1);
		    EXPECT_TRUE(Delegate.Remove(RemovesItself));
	    });
	Delegate.AddLambda(
	    [&]
	    {
		    Calls.push_back(2);
		    Delegate.Remove(RemovedByOther);
		    if (!bAdded)
		    {
			    bAdded = true;
			    Delegate.AddLambda([&Calls] { Calls.push_back(4); });
		    }
	    });
	RemovedByOther = Delegate.AddLambda([&Calls] { Calls.push_back(3); });

	// The binding removed by an earlier one is skipped, and the one added is not called in this pass.
	Delegate.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{1, 2}));

	Calls.clear();
	Delegate.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{2, 4}));
}

TEST(MulticastDelegate, SharedPointerBindingEndsWithItsObject)
{
	FSimpleMulticastDelegate Delegate;
	std::vector<int32> Calls;
	TSharedPtr<FReceiver> Receiver = MakeShared<FReceiver>(Calls);
	Delegate.AddSP(Receiver, &FReceiver::OnTick);
	Delegate.Broadcast();
	EXPECT_TRUE(Delegate.IsBound());

	Receiver.Reset();
	EXPECT_FALSE(Delegate.IsBound());
	Delegate.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{-1}));
}
