#pragma once
#include "GeneratedIncludeNotLast.generated.h"
#include "CoreMinimal.h"

USTRUCT()
struct FGeneratedIncludeNotLast
{
	GENERATED_BODY()
};
