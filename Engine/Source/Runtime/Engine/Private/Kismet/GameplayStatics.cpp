#include "Kismet/GameplayStatics.h"

#include "Components/ActorComponent.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "UObject/CallTraceObject.h"

UWorld* UGameplayStatics::WorldOf(const UObject* WorldContextObject)
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

void UGameplayStatics::GetAllActorsWithTag(const UObject* WorldContextObject, FName Tag, TArray<AActor*>& OutActors)
{
	OutActors.Reset();
	if (const UWorld* World = WorldOf(WorldContextObject); World && Tag != NAME_None)
	{
		for (AActor* Actor : World->GetActors())
		{
			if (IsValid(Actor) && Actor->Tags.Contains(Tag))
			{
				OutActors.Add(Actor);
			}
		}
	}
	if (FCallTrace::IsActive())
	{
		TArray<FCallTraceValue> Names;
		for (const AActor* Actor : OutActors)
		{
			Names.Add(TraceObject(Actor));
		}
		FCallTrace::Record(TEXT("Engine"), TEXT("UGameplayStatics::GetAllActorsWithTag"), {{TEXT("WorldContextObject"), TraceObject(WorldContextObject)}, {TEXT("Tag"), Tag.ToString()}},
			FCallTraceValue::Record({TEXT("OutActors")}, {FCallTraceValue(Names)}));
	}
}
