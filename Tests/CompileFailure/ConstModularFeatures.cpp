// The engine's feature registry answers lookups only through a mutable reference.
#include "CoreMinimal.h"
#include "Features/IModularFeatures.h"

bool CompileFailureConstModularFeatures(FName Type)
{
#ifdef QUARN_FAULT
	const IModularFeatures& Features = IModularFeatures::Get();
#else
	IModularFeatures& Features = IModularFeatures::Get();
#endif
	return Features.GetModularFeatureImplementation(Type, 0) != nullptr;
}
