#include "Materials/MaterialInstanceDynamic.h"

UMaterialInstanceDynamic* UMaterialInstanceDynamic::Create(UMaterialInterface* ParentMaterial, UObject* InOuter)
{
	UMaterialInstanceDynamic* Instance = NewObject<UMaterialInstanceDynamic>(InOuter);
	Instance->Parent = ParentMaterial;
	return Instance;
}
