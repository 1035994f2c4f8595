#pragma once

#include "Materials/MaterialInstance.h"
#include "MaterialInstanceConstant.generated.h"

/** A material instance saved as an asset. */
UCLASS()
class ENGINE_API UMaterialInstanceConstant : public UMaterialInstance
{
	GENERATED_BODY()
};
