#pragma once
#include "DelegateInClass.generated.h"

UCLASS()
class UDelegateInClass : public UObject
{
	GENERATED_BODY()

	DECLARE_DYNAMIC_MULTICAST_DELEGATE(FOnInner);
};
