#pragma once
#include "UnknownAnnotationArgument.generated.h"

USTRUCT()
struct FUnknownSpecifier
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere,
		NotARealSpecifier)
	int32 Value = 0;
};
