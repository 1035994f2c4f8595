#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "World.generated.h"

class AActor;

/** A world: the actors spawned into it. */
UCLASS()
class ENGINE_API UWorld : public UObject
{
	GENERATED_BODY()

public:
	/** Spawns an actor of Class inside this world; null when Class is not a concrete actor class. */
	AActor* SpawnActor(UClass* Class, FName Name = NAME_None);
	template <class T>
	T* SpawnActor(FName Name = NAME_None)
	{
		return static_cast<T*>(SpawnActor(T::StaticClass(), Name));
	}

	/** The actors of this world that are not destroyed, in spawn order. */
	const TArray<AActor*>& GetActors() const;

	/**
	 * Destroys the actor (see AActor::Destroy).
	 * @return false when the actor was null or already destroyed
	 */
	bool DestroyActor(AActor* Actor);

private:
	friend class AActor;

	/** Pruned of actors marked as garbage behind the world's back when read. */
	mutable TArray<AActor*> Actors;
};
