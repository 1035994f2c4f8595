#pragma once

#include "CoreMinimal.h"
#include "Components/ActorComponent.h"
#include "Templates/SubclassOf.h"
#include "UObject/Object.h"
#include "Actor.generated.h"

class UWorld;

/** Something placed in a world: a set of tags and the components it owns. */
UCLASS()
class ENGINE_API AActor : public UObject
{
	GENERATED_BODY()

public:
	AActor();

	/** Labels that let code and Blueprints find this actor. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Actor")
	TArray<FName> Tags;

	/** The first owned component that is a ComponentClass, in creation order; null when there is none. */
	UActorComponent* GetComponentByClass(TSubclassOf<UActorComponent> ComponentClass) const;
	template <class T>
	T* FindComponentByClass() const
	{
		return static_cast<T*>(GetComponentByClass(T::StaticClass()));
	}

	/** Creates a component of Class owned by this actor; null when Class is not a concrete component class. */
	UActorComponent* AddComponent(UClass* Class, FName Name);
	template <class T>
	T* AddComponent(FName Name = NAME_None)
	{
		return static_cast<T*>(AddComponent(T::StaticClass(), Name));
	}
	/** Detaches the component and marks it as garbage; false when this actor does not own it. */
	bool RemoveComponent(UActorComponent* Component);

	/**
	 * Marks the actor and its components as garbage and takes it out of its world.
	 * @return false when the actor was already destroyed
	 */
	bool Destroy();

	void BeginDestroy() override;

private:
	friend class UActorComponent;
	// Finds the world a Blueprint's context object lives in.
	friend class UGameplayStatics;

	/** The world that spawned this actor, or null. */
	UWorld* GetWorld() const;

	TArray<UActorComponent*> OwnedComponents;
	// Weak so that tearing down never reads a world that was already freed.
	TWeakObjectPtr<UWorld> WorldPrivate;
};
