#pragma once
#include "DelegateArity.generated.h"

DECLARE_DYNAMIC_MULTICAST_DELEGATE_TwoParams(FOnPair, int32, First);
