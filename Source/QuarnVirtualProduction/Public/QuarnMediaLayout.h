#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "QuarnMediaLayout.generated.h"

/** The video inputs and outputs that the compositing mode uses. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API UQuarnMediaLayout : public UObject
{
	GENERATED_BODY()

public:
	/** Number of video inputs */
	UPROPERTY(EditAnywhere, Category = "Quarn|Media")
	int32 NumInputs = 1;

	/** Number of video outputs */
	UPROPERTY(EditAnywhere, Category = "Quarn|Media")
	int32 NumOutputs = 1;

	int32 GetNumInputs() const
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnMediaLayout::GetNumInputs"), {}, NumInputs);
		}
		return NumInputs;
	}
	int32 GetNumOutputs() const
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnMediaLayout::GetNumOutputs"), {}, NumOutputs);
		}
		return NumOutputs;
	}
};
