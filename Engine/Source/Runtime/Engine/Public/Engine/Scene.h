#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "Scene.generated.h"

/** A blendable object (a post-process material) with its weight. */
USTRUCT(BlueprintType)
struct ENGINE_API FWeightedBlendable
{
	GENERATED_BODY()

	FWeightedBlendable() = default;
	FWeightedBlendable(float InWeight, UObject* InObject)
		: Weight(InWeight)
		, Object(InObject)
	{
	}

	/** 0 off, 1 fully on; below 0 the blendable is ignored. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Rendering")
	float Weight = -1.f;

	/** The blendable object, usually a material. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Rendering")
	TObjectPtr<UObject> Object = nullptr;

	bool operator==(const FWeightedBlendable& Other) const { return Weight == Other.Weight && Object == Other.Object; }
};

/** The blendables of a post-process volume or camera. */
USTRUCT(BlueprintType)
struct ENGINE_API FWeightedBlendables
{
	GENERATED_BODY()

	/** The blendables, applied in this order. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Rendering")
	TArray<FWeightedBlendable> Array;

	bool operator==(const FWeightedBlendables& Other) const { return Array == Other.Array; }
};

/** Post-process settings; only the blendables are modelled. */
USTRUCT(BlueprintType)
struct ENGINE_API FPostProcessSettings
{
	GENERATED_BODY()

	/** Post-process materials and their weights. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Rendering Features")
	FWeightedBlendables WeightedBlendables;

	/** Appends the object with InWeight, or only sets its weight when it is in the list already. */
	void AddBlendable(UObject* InBlendableObject, float InWeight);
};
