#pragma once

#include "Materials/MaterialInstance.h"
#include "MaterialInstanceDynamic.generated.h"

/** A material instance made at run time. */
UCLASS()
class ENGINE_API UMaterialInstanceDynamic : public UMaterialInstance
{
	GENERATED_BODY()

public:
	/** Makes an instance of ParentMaterial inside InOuter (none when null). */
	static UMaterialInstanceDynamic* Create(UMaterialInterface* ParentMaterial, UObject* InOuter);
};
