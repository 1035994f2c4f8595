#include "Kismet/GameplayStatics.h"

#include "Components/ActorComponent.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"

namespace
{
	UWorld* WorldOf(const UObject* WorldContextObject)
	{
		for (const UObject* Object = WorldContextObject; Object; Object = Object->GetOuter())
		{
			if (const UWorld* World = Cast<UWorld>(Object))
			{
				return const_cast<UWorld*>(World);
			}
			if (const AActor* Actor = Cast<AActor>(Object))
			{
				return Actor->GetWorld();
			}
			if (const UActorComponent* Component = Cast<UActorComponent>(Object))
			{
				return Component->GetOwner() ? Component->GetOwner()->GetWorld() : nullptr;
			}
		}
		return nullptr;
	}
} // namespace

void UGameplayStatics::GetAllActorsWithTag(const UObject* WorldContextObject, FName Tag, TArray<AActor*>& OutActors)
{
	OutActors.Reset();
	const UWorld* World = WorldOf(WorldContextObject);
	if (!World || Tag == NAME_None)
	{
		return;
	}
	for (AActor* Actor : World->GetActors())
	{
		if (IsValid(Actor) && !Tag.IsNone() && Actor->Tags.Contains(Tag))
		{
			OutActors.Add(Actor);
		}
	}
}
