#include "QuarnCamera.h"

AQuarnCamera::AQuarnCamera()
{
	// The class default object owns no components: it is freed before the objects that would point at it.
	if (!IsTemplate())
	{
		CameraComponent = AddComponent<UCineCameraComponent>(TEXT("CameraComponent"));
	}
}
