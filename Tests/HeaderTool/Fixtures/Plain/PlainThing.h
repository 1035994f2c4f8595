#pragma once
#include "CoreMinimal.h"

// Not reflected: no generated include and no annotations.
struct FPlainThing
{
	int32 Value = 0;
};
