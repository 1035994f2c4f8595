#pragma once
#include "CoreMinimal.h"
#include "SomethingElse.generated.h"

USTRUCT()
struct FWrongGeneratedInclude
{
	GENERATED_BODY()
};
