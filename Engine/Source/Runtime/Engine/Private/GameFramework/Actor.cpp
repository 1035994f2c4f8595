#include "GameFramework/Actor.h"

#include "Engine/World.h"
#include "UObject/CallTraceObject.h"

namespace
{
	UActorComponent* FirstComponentOfClass(const TArray<UActorComponent*>& Components, UClass* Class)
	{
		if (!Class)
		{
			return nullptr;
		}
		for (UActorComponent* Component : Components)
		{
			if (IsValid(Component) && Component->IsA(Class))
			{
				return Component;
			}
		}
		return nullptr;
	}
} // namespace

AActor::AActor()
	: WorldPrivate(Cast<UWorld>(GetOuter()))
{
}

UActorComponent* AActor::GetComponentByClass(TSubclassOf<UActorComponent> ComponentClass) const
{
	UActorComponent* Component = FirstComponentOfClass(OwnedComponents, ComponentClass.Get());
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("Engine"), TEXT("AActor::GetComponentByClass"),
			{{TEXT("Actor"), TraceObject(this)}, {TEXT("ComponentClass"), ComponentClass.Get() ? ComponentClass.Get()->GetName() : FString()}}, TraceObject(Component));
	}
	return Component;
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
