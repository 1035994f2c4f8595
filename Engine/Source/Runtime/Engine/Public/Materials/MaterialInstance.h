#pragma once

#include "Materials/MaterialInterface.h"
#include "MaterialInstance.generated.h"

/** A material that overrides parameters of its parent. */
UCLASS(Abstract)
class ENGINE_API UMaterialInstance : public UMaterialInterface
{
	GENERATED_BODY()

public:
	/** The material this instance derives from. */
	UPROPERTY(EditAnywhere, BlueprintReadOnly, Category = "MaterialInstance")
	TObjectPtr<UMaterialInterface> Parent = nullptr;

	/** The parent's base material; null when a parent is missing or the parents form a loop. */
	UMaterial* GetMaterial() override;
};
