#pragma once
#include "UnterminatedProperty.generated.h"

UCLASS()
class UUnterminatedProperty : public UObject
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, Category = "A"
	int32 Value = 0;

	UFUNCTION(BlueprintCallable)
	void Call();
};
