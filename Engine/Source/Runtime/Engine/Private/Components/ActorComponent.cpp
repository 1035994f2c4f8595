#include "Components/ActorComponent.h"

#include "GameFramework/Actor.h"

UActorComponent::UActorComponent()
	: OwnerPrivate(Cast<AActor>(GetOuter()))
{
}

AActor* UActorComponent::GetOwner() const
{
	return OwnerPrivate.Get(true);
}

void UActorComponent::BeginDestroy()
{
	// A component collected on its own must not stay behind in its owner's list.
	if (AActor* Owner = GetOwner())
	{
		Owner->OwnedComponents.Remove(this);
	}
	Super::BeginDestroy();
}
