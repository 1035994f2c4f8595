#pragma once
#include "Interface.generated.h"

UINTERFACE()
class UThingInterface : public UInterface
{
	GENERATED_BODY()
};
