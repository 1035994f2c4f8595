#pragma once

#include "CoreMinimal.h"
#include "QuarnCamera.h"
#include "QuarnStudioCamera.generated.h"

/** A studio's own camera class built on the plug-in's camera, as a Blueprint subclass of it would be. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API AQuarnStudioCamera : public AQuarnCamera
{
	GENERATED_BODY()
};
