#pragma once

#include "CineCameraComponent.h"
#include "CoreMinimal.h"
#include "QuarnCameraBase.h"
#include "QuarnCamera.generated.h"

/** A tracked studio camera. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API AQuarnCamera : public AQuarnCameraBase
{
	GENERATED_BODY()

public:
	AQuarnCamera();

	/** The camera whose picture the graphics are composited onto */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|VP")
	UCineCameraComponent* CameraComponent = nullptr;
};
