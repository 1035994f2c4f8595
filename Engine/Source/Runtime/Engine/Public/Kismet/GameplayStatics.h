#pragma once

#include "CoreMinimal.h"
#include "Kismet/BlueprintFunctionLibrary.h"
#include "GameplayStatics.generated.h"

class AActor;
class UWorld;

/** Blueprint functions about the world and its actors. */
UCLASS()
class ENGINE_API UGameplayStatics : public UBlueprintFunctionLibrary
{
	GENERATED_BODY()

public:
	/**
	 * Finds all actors of the world with the given tag, in the world's actor order.
	 * @param WorldContextObject a world, or an object inside one (an actor, a component)
	 */
	UFUNCTION(BlueprintCallable, Category = "Actor")
	static void GetAllActorsWithTag(const UObject* WorldContextObject, FName Tag, TArray<AActor*>& OutActors);

private:
	/** The world the context object is, or lives in; null when there is none. */
	static UWorld* WorldOf(const UObject* WorldContextObject);
};
