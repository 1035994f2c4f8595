#pragma once
#include "CArray.generated.h"

USTRUCT()
struct FCArray
{
	GENERATED_BODY()

	UPROPERTY()
	float Values[4];
};
