#include "EngineTestFixture.h"
#include "ReflectionSample.h"

using ObjectLifetime = FObjectSystemTest;

TEST_F(ObjectLifetime, WeakPointerGoesStaleWhenTheObjectIsGarbage)
{
	UReflectionSampleListener* Listener = NewObject<UReflectionSampleListener>();
	const TWeakObjectPtr<UReflectionSampleListener> Weak(Listener);
	EXPECT_EQ(Weak.Get(), Listener);
	Listener->MarkAsGarbage();
	EXPECT_FALSE(IsValid(Listener));
	EXPECT_EQ(Weak.Get(), nullptr);
	EXPECT_EQ(Weak.Get(true), Listener);
	CollectGarbage();
	EXPECT_EQ(Weak.Get(true), nullptr);
	EXPECT_TRUE(Weak.IsStale());
}

TEST_F(ObjectLifetime, WeakPointerToAReusedSlotStaysNull)
{
	UReflectionSampleListener* First = NewObject<UReflectionSampleListener>();
	const int32 FirstSlot = First->GetUniqueID();
	const TWeakObjectPtr<UReflectionSampleListener> Weak(First);
	First->MarkAsGarbage();
	CollectGarbage();
	UReflectionSampleListener* Second = NewObject<UReflectionSampleListener>();
	ASSERT_EQ(Second->GetUniqueID(), FirstSlot);
	EXPECT_EQ(Weak.Get(true), nullptr);
}

TEST_F(ObjectLifetime, ObjectBoundDelegateLapsesWithItsObject)
{
	TMulticastDelegate<void(int32)> Delegate;
	UReflectionSampleListener* Kept = NewObject<UReflectionSampleListener>();
	UReflectionSampleListener* Dropped = NewObject<UReflectionSampleListener>();
	Delegate.AddUObject(Kept, &UReflectionSampleListener::OnPing);
	Delegate.AddUObject(Dropped, &UReflectionSampleListener::OnPing);
	Dropped->MarkAsGarbage();
	CollectGarbage();
	Delegate.Broadcast(4);
	EXPECT_EQ(Kept->Pings, (TArray<int32>{4}));
	EXPECT_EQ(Delegate.NumBindings(), 1);
}

TEST_F(ObjectLifetime, RemoveAllTakesAwayEveryBindingOfTheObject)
{
	TMulticastDelegate<void(int32)> Delegate;
	UReflectionSampleListener* Listener = NewObject<UReflectionSampleListener>();
	Delegate.AddUObject(Listener, &UReflectionSampleListener::OnPing);
	Delegate.AddUObject(Listener, &UReflectionSampleListener::OnPing);
	EXPECT_EQ(Delegate.RemoveAll(Listener), 2);
	Delegate.Broadcast(1);
	EXPECT_TRUE(Listener->Pings.IsEmpty());
}

TEST_F(ObjectLifetime, DefaultObjectIsATemplateAndInstancesAreNot)
{
	UReflectionSampleListener* Default = GetMutableDefault<UReflectionSampleListener>();
	ASSERT_NE(Default, nullptr);
	EXPECT_TRUE(Default->IsTemplate());
	EXPECT_EQ(GetMutableDefault<UReflectionSampleListener>(), Default);
	EXPECT_FALSE(NewObject<UReflectionSampleListener>()->IsTemplate());
}

TEST_F(ObjectLifetime, SuppressedDefaultObjectReadsAsMissing)
{
	UClass* Class = UReflectionSampleListener::StaticClass();
	Class->SetDefaultObjectSuppressed(true);
	EXPECT_EQ(GetMutableDefault<UReflectionSampleListener>(), nullptr);
	Class->SetDefaultObjectSuppressed(false);
	EXPECT_NE(GetMutableDefault<UReflectionSampleListener>(), nullptr);
}

TEST_F(ObjectLifetime, CastFollowsTheClassHierarchy)
{
	UObject* Object = NewObject<UReflectionSampleListener>();
	EXPECT_NE(Cast<UReflectionSampleListener>(Object), nullptr);
	EXPECT_EQ(Cast<UReflectionSampleSettings>(Object), nullptr);
	EXPECT_TRUE(Object->IsA(UObject::StaticClass()));
	EXPECT_EQ(Cast<UReflectionSampleListener>(static_cast<UObject*>(nullptr)), nullptr);
}
