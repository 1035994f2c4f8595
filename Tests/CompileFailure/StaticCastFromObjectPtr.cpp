// An object pointer member converts to its own class only; reaching a subclass takes Cast<>.
#include "Engine/Scene.h"
#include "Materials/MaterialInstanceDynamic.h"

const UMaterialInstanceDynamic* CompileFailureStaticCastFromObjectPtr(const FWeightedBlendable& Blendable)
{
#ifdef QUARN_FAULT
	return static_cast<const UMaterialInstanceDynamic*>(Blendable.Object);
#else
	return Cast<UMaterialInstanceDynamic>(Blendable.Object);
#endif
}
