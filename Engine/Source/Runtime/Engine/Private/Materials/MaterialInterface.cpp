#include "Materials/MaterialInterface.h"

UMaterial* UMaterialInterface::GetMaterial()
{
	return nullptr;
}
