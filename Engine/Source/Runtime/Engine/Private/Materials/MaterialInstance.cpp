#include "Materials/MaterialInstance.h"

#include "Materials/Material.h"

UMaterial* UMaterialInstance::GetMaterial()
{
	// Walked, not recursed: a parent loop made in the editor must end, not overflow the stack.
	TArray<const UMaterialInterface*> Visited;
	Visited.Add(this);
	for (UMaterialInterface* Current = Parent; Current && !Visited.Contains(Current);)
	{
		if (const UMaterialInstance* Instance = Cast<UMaterialInstance>(Current))
		{
			Visited.Add(Current);
			Current = Instance->Parent;
			continue;
		}
		return Current->GetMaterial();
	}
	return nullptr;
}
