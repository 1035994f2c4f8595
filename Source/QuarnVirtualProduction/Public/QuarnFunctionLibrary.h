#pragma once

#include "CoreMinimal.h"
#include "Engine/World.h"
#include "Kismet/BlueprintFunctionLibrary.h"
#include "QuarnFunctionLibrary.generated.h"

/** Blueprint helpers of the virtual-production plug-in. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API UQuarnFunctionLibrary : public UBlueprintFunctionLibrary
{
	GENERATED_BODY()

public:
	/** The world being played or edited, or null when there is none */
	UFUNCTION(BlueprintCallable, Category = "Quarn|VP")
	static UWorld* GetCurrentWorld();

	/** Sets the world GetCurrentWorld answers; held weakly. The host calls this. */
	static void SetCurrentWorld(UWorld* World);
};
