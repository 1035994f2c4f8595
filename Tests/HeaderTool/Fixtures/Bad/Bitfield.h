#pragma once
#include "Bitfield.generated.h"

UCLASS()
class UBitfield : public UObject
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere)
	uint8 bFlag : 1;
};
