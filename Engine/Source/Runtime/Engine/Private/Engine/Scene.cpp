#include "Engine/Scene.h"

void FPostProcessSettings::AddBlendable(UObject* InBlendableObject, float InWeight)
{
	for (FWeightedBlendable& Blendable : WeightedBlendables.Array)
	{
		if (Blendable.Object == InBlendableObject)
		{
			Blendable.Weight = InWeight;
			return;
		}
	}
	WeightedBlendables.Array.Add(FWeightedBlendable(InWeight, InBlendableObject));
}
