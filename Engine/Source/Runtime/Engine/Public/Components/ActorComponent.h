#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "ActorComponent.generated.h"

class AActor;

/** A piece of behaviour owned by an actor. */
UCLASS()
class ENGINE_API UActorComponent : public UObject
{
	GENERATED_BODY()

public:
	UActorComponent();

	/** The actor that owns this component: its outer. */
	AActor* GetOwner() const;

	void BeginDestroy() override;

private:
	// Weak so that tearing down never reads an owner that was already freed.
	TWeakObjectPtr<AActor> OwnerPrivate;
};
