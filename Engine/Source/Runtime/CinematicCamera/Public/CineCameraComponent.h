#pragma once

#include "Camera/CameraComponent.h"
#include "CineCameraComponent.generated.h"

/** A camera modelled on a real film camera and lens. */
UCLASS()
class CINEMATICCAMERA_API UCineCameraComponent : public UCameraComponent
{
	GENERATED_BODY()
};
