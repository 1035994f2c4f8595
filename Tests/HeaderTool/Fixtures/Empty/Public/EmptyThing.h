#pragma once
#include "CoreMinimal.h"
#include "EmptyThing.generated.h"

struct FNotReflected
{
	int32 Value = 0;
};
