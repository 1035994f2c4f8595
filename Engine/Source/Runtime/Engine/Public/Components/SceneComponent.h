#pragma once

#include "Components/ActorComponent.h"
#include "SceneComponent.generated.h"

/** A component with a place in the world. */
UCLASS()
class ENGINE_API USceneComponent : public UActorComponent
{
	GENERATED_BODY()
};
