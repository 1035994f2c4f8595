#include "Engine/World.h"

#include "GameFramework/Actor.h"

AActor* UWorld::SpawnActor(UClass* Class, FName Name)
{
	if (!Class || !Class->IsChildOf(AActor::StaticClass()) || !IsValid(this))
	{
		return nullptr;
	}
	AActor* Actor = NewObject<AActor>(this, Class, Name);
	if (Actor)
	{
		Actors.Add(Actor);
	}
	return Actor;
}

const TArray<AActor*>& UWorld::GetActors() const
{
	Actors.RemoveAll([](const AActor* Actor) { return !IsValid(Actor); });
	return Actors;
}

bool UWorld::DestroyActor(AActor* Actor)
{
	return IsValid(Actor) && Actor->Destroy();
}
