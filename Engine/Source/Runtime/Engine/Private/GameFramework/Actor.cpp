#include "GameFramework/Actor.h"

#include "Engine/World.h"

AActor::AActor()
	: WorldPrivate(Cast<UWorld>(GetOuter()))
{
}

UActorComponent* AActor::GetComponentByClass(TSubclassOf<UActorComponent> ComponentClass) const
{
	UClass* Class = ComponentClass.Get();
	if (!Class)
	{
		return nullptr;
	}
	for (UActorComponent* Component : OwnedComponents)
	{
		if (IsValid(Component) && Component->IsA(Class))
		{
			return Component;
		}
	}
	return nullptr;
}

UActorComponent* AActor::AddComponent(UClass* Class, FName Name)
{
	if (!Class || !Class->IsChildOf(UActorComponent::StaticClass()) || !IsValid(this))
	{
		return nullptr;
	}
	UActorComponent* Component = NewObject<UActorComponent>(this, Class, Name);
	if (Component)
	{
		OwnedComponents.Add(Component);
	}
	return Component;
}

bool AActor::RemoveComponent(UActorComponent* Component)
{
	if (!Component || OwnedComponents.Remove(Component) == 0)
	{
		return false;
	}
	Component->MarkAsGarbage();
	return true;
}

UWorld* AActor::GetWorld() const
{
	return WorldPrivate.Get(true);
}

bool AActor::Destroy()
{
	if (!IsValid(this))
	{
		return false;
	}
	for (UActorComponent* Component : OwnedComponents)
	{
		Component->MarkAsGarbage();
	}
	OwnedComponents.Reset();
	if (UWorld* World = GetWorld())
	{
		World->Actors.Remove(this);
	}
	MarkAsGarbage();
	return true;
}

void AActor::BeginDestroy()
{
	if (UWorld* World = GetWorld())
	{
		World->Actors.Remove(this);
	}
	Super::BeginDestroy();
}
