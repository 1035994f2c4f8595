#pragma once
#include "FunctionOutsideType.generated.h"

UFUNCTION(BlueprintCallable)
void FreeFunction();
