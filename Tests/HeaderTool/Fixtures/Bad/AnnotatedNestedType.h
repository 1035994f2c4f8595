#pragma once
#include "AnnotatedNestedType.generated.h"

UCLASS()
class UAnnotatedNestedType : public UObject
{
	GENERATED_BODY()

	struct FInner
	{
		UPROPERTY()
		int32 Hidden = 0;
	};
};
