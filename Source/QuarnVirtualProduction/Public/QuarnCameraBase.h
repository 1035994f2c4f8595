#pragma once

#include "CoreMinimal.h"
#include "GameFramework/Actor.h"
#include "QuarnCameraBase.generated.h"

/** The base of the plug-in's studio cameras. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API AQuarnCameraBase : public AActor
{
	GENERATED_BODY()
};
