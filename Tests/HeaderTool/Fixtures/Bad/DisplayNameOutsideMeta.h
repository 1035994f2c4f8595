#pragma once
#include "DisplayNameOutsideMeta.generated.h"

USTRUCT()
struct FDisplayNameOutsideMeta
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, DisplayName = "Shown")
	int32 Value = 0;
};
