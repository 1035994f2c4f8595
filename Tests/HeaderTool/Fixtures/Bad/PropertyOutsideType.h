#pragma once
#include "PropertyOutsideType.generated.h"

struct FPlain
{
	UPROPERTY()
	int32 Value = 0;
};
