#pragma once
#include "MissingGeneratedBody.generated.h"

UCLASS()
class UMissingGeneratedBody : public UObject
{
public:
	UPROPERTY()
	int32 Value = 0;
};
