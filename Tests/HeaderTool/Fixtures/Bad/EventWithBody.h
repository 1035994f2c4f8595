#pragma once
#include "EventWithBody.generated.h"

UCLASS()
class UEventWithBody : public UObject
{
	GENERATED_BODY()

	UFUNCTION(BlueprintImplementableEvent)
	void OnThing() {}
};
