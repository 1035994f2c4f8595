#pragma once
#include "CoreMinimal.h"

USTRUCT()
struct FMissingGeneratedInclude
{
	GENERATED_BODY()
};
