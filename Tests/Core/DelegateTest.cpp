#include "CoreMinimal.h"

#include <gtest/gtest.h>

namespace
{
	struct FListener
	{
		TArray<int32> Received;
		void OnValue(int32 Value) { Received.Add(Value); }
	};
} // namespace

TEST(MulticastDelegate, BroadcastsInReverseOrderOfAdding)
{
	TMulticastDelegate<void(int32)> Delegate;
	TArray<int32> Order;
	Delegate.AddLambda([&Order](int32) { Order.Add(1); });
	Delegate.AddLambda([&Order](int32) { Order.Add(2); });
	Delegate.Broadcast(0);
	EXPECT_EQ(Order, (TArray<int32>{2, 1}));
}

TEST(MulticastDelegate, RemoveAllDropsOnlyThatObjectsBindings)
{
	TMulticastDelegate<void(int32)> Delegate;
	FListener First;
	FListener Second;
	Delegate.Add(TDelegate<void(int32)>::CreateRaw(&First, &FListener::OnValue));
	Delegate.Add(TDelegate<void(int32)>::CreateRaw(&First, &FListener::OnValue));
	Delegate.Add(TDelegate<void(int32)>::CreateRaw(&Second, &FListener::OnValue));
	EXPECT_EQ(Delegate.RemoveAll(&First), 2);
	Delegate.Broadcast(7);
	EXPECT_TRUE(First.Received.IsEmpty());
	EXPECT_EQ(Second.Received, (TArray<int32>{7}));
}

TEST(MulticastDelegate, BindingsAddedDuringBroadcastWaitForTheNextOne)
{
	TMulticastDelegate<void()> Delegate;
	int32 LateCalls = 0;
	Delegate.AddLambda([&] { Delegate.AddLambda([&LateCalls] { ++LateCalls; }); });
	Delegate.Broadcast();
	EXPECT_EQ(LateCalls, 0);
	Delegate.Broadcast();
	EXPECT_EQ(LateCalls, 1);
}

TEST(MulticastDelegate, BindingRemovedDuringBroadcastIsNotCalled)
{
	TMulticastDelegate<void()> Delegate;
	int32 Calls = 0;
	// Added first, so called last: the remover below runs before it.
	const FDelegateHandle Victim = Delegate.AddLambda([&Calls] { ++Calls; });
	Delegate.AddLambda([&] { Delegate.Remove(Victim); });
	Delegate.Broadcast();
	EXPECT_EQ(Calls, 0);
	EXPECT_EQ(Delegate.NumBindings(), 1);
}
