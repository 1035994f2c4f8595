#include "Camera/CameraComponent.h"
#include "Components/SceneComponent.h"
#include "Engine/World.h"
#include "EngineTestFixture.h"
#include "GameFramework/Actor.h"

class ActorComponents : public FObjectSystemTest
{
protected:
	void SetUp() override
	{
		FObjectSystemTest::SetUp();
		World = NewObject<UWorld>(nullptr, nullptr, TEXT("World"));
		Actor = World->SpawnActor<AActor>(TEXT("Camera"));
		ASSERT_NE(Actor, nullptr);
	}

	UWorld* World = nullptr;
	AActor* Actor = nullptr;
};

TEST_F(ActorComponents, ClassLookupFindsTheFirstMatchInCreationOrder)
{
	USceneComponent* Root = Actor->AddComponent<USceneComponent>(TEXT("Root"));
	UCameraComponent* FirstCamera = Actor->AddComponent<UCameraComponent>(TEXT("FirstCamera"));
	Actor->AddComponent<UCameraComponent>(TEXT("SecondCamera"));

	EXPECT_EQ(Actor->GetComponentByClass(USceneComponent::StaticClass()), Root);
	EXPECT_EQ(Actor->GetComponentByClass(UCameraComponent::StaticClass()), FirstCamera);
	EXPECT_EQ(Actor->FindComponentByClass<UCameraComponent>(), FirstCamera);
	EXPECT_EQ(FirstCamera->GetOwner(), Actor);
}

TEST_F(ActorComponents, RemovedComponentIsNoLongerFound)
{
	UCameraComponent* FirstCamera = Actor->AddComponent<UCameraComponent>(TEXT("FirstCamera"));
	UCameraComponent* SecondCamera = Actor->AddComponent<UCameraComponent>(TEXT("SecondCamera"));

	EXPECT_TRUE(Actor->RemoveComponent(FirstCamera));
	EXPECT_FALSE(IsValid(FirstCamera));
	EXPECT_EQ(Actor->FindComponentByClass<UCameraComponent>(), SecondCamera);
	EXPECT_FALSE(Actor->RemoveComponent(FirstCamera));

	CollectGarbage();
	EXPECT_EQ(Actor->FindComponentByClass<UCameraComponent>(), SecondCamera);
}

TEST_F(ActorComponents, ComponentCollectedBehindTheActorsBackLeavesItsList)
{
	UCameraComponent* Camera = Actor->AddComponent<UCameraComponent>(TEXT("Camera"));
	Camera->MarkAsGarbage();

	EXPECT_EQ(Actor->FindComponentByClass<UCameraComponent>(), nullptr);
	CollectGarbage();
	EXPECT_EQ(Actor->GetComponentByClass(UActorComponent::StaticClass()), nullptr);
}

TEST_F(ActorComponents, NonComponentClassIsRefused)
{
	EXPECT_EQ(Actor->AddComponent(AActor::StaticClass(), TEXT("NotAComponent")), nullptr);
	EXPECT_EQ(Actor->GetComponentByClass(nullptr), nullptr);
	EXPECT_EQ(Actor->GetComponentByClass(UActorComponent::StaticClass()), nullptr);
}

TEST_F(ActorComponents, DestroyedActorLeavesItsWorldWithItsComponents)
{
	AActor* Other = World->SpawnActor<AActor>(TEXT("Other"));
	UCameraComponent* Camera = Actor->AddComponent<UCameraComponent>(TEXT("Camera"));
	const TWeakObjectPtr<AActor> WeakActor(Actor);

	EXPECT_TRUE(World->DestroyActor(Actor));

	EXPECT_FALSE(IsValid(Actor));
	EXPECT_FALSE(IsValid(Camera));
	ASSERT_EQ(World->GetActors().Num(), 1);
	EXPECT_EQ(World->GetActors()[0], Other);
	EXPECT_FALSE(World->DestroyActor(Actor));

	CollectGarbage();
	EXPECT_TRUE(WeakActor.IsStale());
	EXPECT_EQ(World->GetActors().Num(), 1);
}

TEST_F(ActorComponents, ActorMarkedAsGarbageDirectlyIsNotListed)
{
	AActor* Other = World->SpawnActor<AActor>(TEXT("Other"));
	Actor->MarkAsGarbage();

	ASSERT_EQ(World->GetActors().Num(), 1);
	EXPECT_EQ(World->GetActors()[0], Other);
	EXPECT_EQ(Other->GetName(), TEXT("Other"));
}
