#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "MaterialInterface.generated.h"

class UMaterial;

/** Anything that can be used as a material: a material or one of its instances. */
UCLASS(Abstract)
class ENGINE_API UMaterialInterface : public UObject
{
	GENERATED_BODY()

public:
	/** The base material: the material itself, or the one at the end of an instance's parents; null when there is none. */
	virtual UMaterial* GetMaterial();
};
