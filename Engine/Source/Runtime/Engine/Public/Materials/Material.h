#pragma once

#include "Materials/MaterialInterface.h"
#include "Material.generated.h"

/** A material asset. */
UCLASS()
class ENGINE_API UMaterial : public UMaterialInterface
{
	GENERATED_BODY()
};
